#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kiv::test {

// What a program run as a process left behind.
struct Ran {
    int status = -1; // the exit status; -1 when it did not exit by itself
    std::string out, err;
};

// Runs `program` with `arguments` in `folder`, with the environment of the tests plus
// `environment` (NAME=VALUE entries; an entry "NAME=" with nothing after it removes NAME).
Ran RunProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& folder,
               const std::vector<std::string>& environment = {});

std::string FileText(const std::filesystem::path& file);

} // namespace kiv::test
