#pragma once

#include "GameData.h"

#include <filesystem>

namespace kiv::test {

// Compiles a game description (the JSON kivc reads) into `folder`; with `art`, actor frames
// take their sizes from the images under art/"Art Assets"/Actors.
inline void WriteGame(const tools::Json& description, const std::filesystem::path& folder,
                      const std::filesystem::path& art = {}) {
    tools::GameFiles files = tools::CompileGame(description, art);
    std::filesystem::create_directories(folder);
    tools::WriteFile(folder / tools::StoredFileName(description["file"].get<std::string>()),
                     files.game);
    for (const auto& [name, bytes] : files.levels) {
        std::filesystem::create_directories((folder / name).parent_path());
        tools::WriteFile(folder / name, bytes);
    }
}

} // namespace kiv::test
