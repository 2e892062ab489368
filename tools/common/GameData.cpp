#include "GameData.h"

#include "ArtFolder.h"
#include "FieldNames.h"
#include "Records.h"
#include "data/DataLimits.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <strings.h>

namespace kiv::tools {

namespace fs = std::filesystem;

namespace {

// "$schema" names the schema that editors check the description with.
const char* const TopKeys[] = {"$schema", "file", "mode", "game", "logic"};

void CheckTopLevel(const Json& d) {
    if (!d.is_object())
        throw DataError("the description: expected an object {file, mode, game, logic}");
    for (auto it = d.begin(); it != d.end(); ++it)
        if (std::find(std::begin(TopKeys), std::end(TopKeys), it.key()) == std::end(TopKeys))
            throw DataError(UnknownField("", it.key(), {std::begin(TopKeys), std::end(TopKeys)}));
    if (!d.contains("file") || !d["file"].is_string())
        throw DataError("file: expected the game file's name");
}

Json Part(const Json& d, const char* key) {
    return d.contains(key) ? d[key] : Json::object();
}

// A name as it may be shown in a message: control characters (a NUL...) as \xNN.
std::string Printable(const std::string& text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

// The files a description writes: each must be a name inside the output folder, and no two
// may be one file (names that differ only in letter case are one file where games are made).
class OutputNames {
public:
    std::string Add(const std::string& name, const std::string& path) {
        std::string stored;
        try {
            stored = StoredFileName(name);
        } catch (const DataError& e) {
            throw DataError(path + ": " + e.what());
        }
        std::string key = stored;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        auto [at, added] = paths.emplace(key, path);
        if (!added)
            throw DataError(path + ": " + name + " is the file that " + at->second +
                            " already names; each output needs a file of its own");
        return stored;
    }

private:
    std::map<std::string, std::string> paths; // file name in lower case -> where it is named
};

// Frame sizes beyond the largest image a surface holds are refused, side by side in the
// layout and here as a whole.
void CheckFrameSizes(const Json& actors, const std::string& path) {
    if (!actors.contains("actors"))
        return;
    const Json& list = actors["actors"];
    for (size_t a = 0; a < list.size(); ++a)
        for (size_t n = 0; list[a].contains("animations") && n < list[a]["animations"].size();
             ++n) {
            const Json& animation = list[a]["animations"][n];
            for (size_t f = 0; animation.contains("frames") && f < animation["frames"].size();
                 ++f) {
                const Json& frame = animation["frames"][f];
                long long w = frame["width"].get<long long>(), h = frame["height"].get<long long>();
                if (!FrameSizeFits(w, h))
                    throw DataError(path + ".actors[" + std::to_string(a) + "].animations[" +
                                    std::to_string(n) + "].frames[" + std::to_string(f) +
                                    "]: a frame of " + std::to_string(w) + " x " +
                                    std::to_string(h) + " pixels is larger than the " +
                                    std::to_string(MaxImagePixels) + " pixels an image can have");
            }
        }
}

// The particles of a level's systems together are bounded too.
void CheckParticleCount(const Json& level, const std::string& path) {
    if (!level.contains("particleSystems"))
        return;
    unsigned long long all = 0;
    for (const Json& system : level["particleSystems"])
        all += system["count"].get<unsigned long long>();
    if (all > MaxParticles)
        throw DataError(path + ".particleSystems: " + std::to_string(all) +
                        " particles in all, more than the " + std::to_string(MaxParticles) +
                        " a level can hold");
}

// Reads one record that must fill the file exactly.
Json ReadWhole(Reader& reader, const Layout& layout, const std::string& path,
               const std::string& file) {
    Json record = reader.Read(layout, path);
    if (!reader.AtEnd())
        throw DataError(file + ", offset " + std::to_string(reader.Position()) +
                        ": bytes left over after the " + path + " record");
    return record;
}

} // namespace

// The file at `name` below `folder`, each part matched without regard to letter case as the
// runtime does; empty when there is none.
fs::path FindBeside(const fs::path& folder, const std::string& name) {
    fs::path found = folder;
    std::error_code ec;
    for (const fs::path& part : fs::path(name)) {
        fs::path exact = found / part;
        if (fs::exists(exact, ec)) {
            found = exact;
            continue;
        }
        fs::path match;
        for (fs::directory_iterator it(found, ec), end; !ec && it != end; it.increment(ec))
            if (strcasecmp(it->path().filename().c_str(), part.c_str()) == 0)
                match = it->path();
        if (match.empty())
            return {};
        found = match;
    }
    return found;
}

std::string StoredFileName(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos)
        throw DataError("\"" + Printable(name) + "\": not a file name");
    std::string n = name;
    std::replace(n.begin(), n.end(), '\\', '/');
    bool drive = n.size() >= 2 && n[1] == ':' && std::isalpha(static_cast<unsigned char>(n[0]));
    if (n[0] == '/' || drive)
        throw DataError(name + ": a data file's name must be relative to the data folder");
    fs::path path = fs::path(n).lexically_normal();
    if (path.empty() || path == "." || *path.begin() == ".." || !path.has_filename())
        throw DataError(name + ": a data file must lie inside the data folder");
    return path.string();
}

GameFiles CompileGame(const Json& d, const fs::path& artFolder) {
    CheckTopLevel(d);
    OutputNames outputs;
    outputs.Add(d["file"].get<std::string>(), "file");
    GameFiles files;
    Compile(ModeRecord(), Part(d, "mode"), files.game, "mode");
    Json game = Part(d, "game");
    Compile(GameRecord(), game, files.game, "game");
    Compile(LogicRecord(), Part(d, "logic"), files.game, "logic");

    const Json& levels = game.contains("levels") ? game["levels"] : Json::array();
    for (size_t i = 0; i < levels.size(); ++i) {
        const Json& level = levels[i];
        if (!level.contains("level"))
            continue;
        std::string path = "game.levels[" + std::to_string(i) + "]";
        std::vector<unsigned char> bytes;
        Compile(LevelRecord(), level["level"], bytes, path + ".level");
        CheckParticleCount(level["level"], path + ".level");
        if (level.contains("actors")) {
            Json actors = level["actors"];
            if (!artFolder.empty())
                CompleteFramesFromArt(actors, artFolder, path + ".actors");
            Compile(ActorRecord(), actors, bytes, path + ".actors");
            CheckFrameSizes(actors, path + ".actors");
        }
        if (!level["file"].is_string())
            throw DataError(path + ".file: expected the level file's name");
        files.levels.emplace_back(outputs.Add(level["file"].get<std::string>(), path + ".file"),
                                  std::move(bytes));
    }
    return files;
}

Json DumpLevelBytes(const std::vector<unsigned char>& bytes, const std::string& name) {
    Reader reader(bytes, name);
    Json out = Json::object();
    out["level"] = reader.Read(LevelRecord(), "level");
    if (!reader.AtEnd())
        out["actors"] = ReadWhole(reader, ActorRecord(), "actors", name);
    return out;
}

Json DumpLevel(const fs::path& levelFile) {
    return DumpLevelBytes(ReadFile(levelFile), levelFile.string());
}

Json DumpGameBytes(const std::vector<unsigned char>& bytes, const std::string& name,
                   const LevelFiles& levelFiles) {
    Reader reader(bytes, name);
    Json d = Json::object();
    d["file"] = fs::path(name).filename().string();
    d["mode"] = reader.Read(ModeRecord(), "mode");
    d["game"] = reader.Read(GameRecord(), "game");
    d["logic"] = ReadWhole(reader, LogicRecord(), "logic", name);
    for (Json& level : d["game"]["levels"]) {
        std::string stored = StoredFileName(level["file"].get<std::string>());
        std::optional<std::vector<unsigned char>> file = levelFiles(stored);
        if (!file)
            continue;
        Json records = DumpLevelBytes(*file, stored);
        for (auto it = records.begin(); it != records.end(); ++it)
            level[it.key()] = it.value();
    }
    return d;
}

Json DumpGame(const fs::path& gameFile) {
    fs::path folder = gameFile.parent_path().empty() ? "." : gameFile.parent_path();
    return DumpGameBytes(
        ReadFile(gameFile), gameFile.string(),
        [&](const std::string& stored) -> std::optional<std::vector<unsigned char>> {
            fs::path file = FindBeside(folder, stored);
            if (file.empty())
                return std::nullopt;
            return ReadFile(file);
        });
}

std::vector<unsigned char> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw DataError(path.string() + ": cannot be read");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    if (!out)
        throw DataError(path.string() + ": cannot be written");
}

} // namespace kiv::tools
