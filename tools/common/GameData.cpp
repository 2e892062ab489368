#include "GameData.h"

#include "ArtFolder.h"
#include "FieldNames.h"
#include "Records.h"

#include <algorithm>
#include <fstream>
#include <iterator>
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

// Reads one record that must fill the file exactly.
Json ReadWhole(Reader& reader, const Layout& layout, const std::string& path,
               const fs::path& file) {
    Json record = reader.Read(layout, path);
    if (!reader.AtEnd())
        throw DataError(file.string() + ", offset " + std::to_string(reader.Position()) +
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
    std::string n = name;
    std::replace(n.begin(), n.end(), '\\', '/');
    fs::path path = fs::path(n).relative_path();
    for (const fs::path& part : path)
        if (part == "..")
            throw DataError(name + ": a data file must lie inside the data folder");
    return path.string();
}

GameFiles CompileGame(const Json& d, const fs::path& artFolder) {
    CheckTopLevel(d);
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
        if (level.contains("actors")) {
            Json actors = level["actors"];
            if (!artFolder.empty())
                CompleteFramesFromArt(actors, artFolder, path + ".actors");
            Compile(ActorRecord(), actors, bytes, path + ".actors");
        }
        if (!level["file"].is_string())
            throw DataError(path + ".file: expected the level file's name");
        files.levels.emplace_back(StoredFileName(level["file"].get<std::string>()),
                                  std::move(bytes));
    }
    return files;
}

Json DumpLevel(const fs::path& levelFile) {
    std::vector<unsigned char> bytes = ReadFile(levelFile);
    Reader reader(bytes, levelFile.string());
    Json out = Json::object();
    out["level"] = reader.Read(LevelRecord(), "level");
    if (!reader.AtEnd())
        out["actors"] = ReadWhole(reader, ActorRecord(), "actors", levelFile);
    return out;
}

Json DumpGame(const fs::path& gameFile) {
    std::vector<unsigned char> bytes = ReadFile(gameFile);
    Reader reader(bytes, gameFile.string());
    Json d = Json::object();
    d["file"] = gameFile.filename().string();
    d["mode"] = reader.Read(ModeRecord(), "mode");
    d["game"] = reader.Read(GameRecord(), "game");
    d["logic"] = ReadWhole(reader, LogicRecord(), "logic", gameFile);
    for (Json& level : d["game"]["levels"]) {
        fs::path file = FindBeside(gameFile.parent_path().empty() ? "." : gameFile.parent_path(),
                                   StoredFileName(level["file"].get<std::string>()));
        if (file.empty())
            continue;
        Json records = DumpLevel(file);
        for (auto it = records.begin(); it != records.end(); ++it)
            level[it.key()] = it.value();
    }
    return d;
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
