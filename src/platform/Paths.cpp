#include "platform/Platform.h"

#include <algorithm>
#include <filesystem>
#include <strings.h>
#include <system_error>
#include <unistd.h>

namespace kiv::platform {

namespace fs = std::filesystem;

namespace {

// The entry of `dir` whose name matches `part` regardless of case, or `part` itself.
std::string MatchInFolder(const fs::path& dir, const std::string& part) {
    std::error_code ec;
    for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        if (strcasecmp(candidate.c_str(), part.c_str()) == 0)
            return candidate;
    }
    return part;
}

} // namespace

std::string LocalPath(const char* name) {
    std::string path = name ? name : "";
    std::replace(path.begin(), path.end(), '\\', '/');
    std::error_code ec;
    if (path.empty() || fs::exists(path, ec))
        return path;

    // Games are authored on a system that ignores letter case: rebuild the path one
    // component at a time, taking the entry that matches without regard to case.
    fs::path built;
    for (const fs::path& part : fs::path(path)) {
        std::string p = part.string();
        if (p.empty())
            continue;
        if (p == "/" || p == "." || p == "..") {
            built /= part;
            continue;
        }
        fs::path exact = built / p;
        built = fs::exists(exact, ec) ? exact : built / MatchInFolder(built, p);
    }
    return built.string();
}

std::string CurrentFolder() {
    std::error_code ec;
    std::string folder = fs::current_path(ec).string();
    return ec ? std::string() : folder;
}

std::string ChosenPath(const std::string& name, const FileChoice& choice) {
    fs::path path(name);
    if (path.is_relative())
        path = fs::path(LocalPath(choice.folder)) / path;
    if (!path.has_extension() && *choice.extension)
        path += std::string(".") + choice.extension;
    return path.string();
}

bool SyncToDisk(std::FILE* stream) {
    return stream && fsync(fileno(stream)) == 0;
}

} // namespace kiv::platform
