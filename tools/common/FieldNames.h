#pragma once

#include <string>
#include <vector>

namespace kiv::tools {

// The message for a key that the object at `path` does not have: the nearest valid field
// when the key looks mistyped, and the list of the valid ones.
std::string UnknownField(const std::string& path, const std::string& key,
                         const std::vector<std::string>& valid);

// The message for a command-line option that a tool does not know, with the nearest one.
std::string UnknownOption(const std::string& option, const std::vector<std::string>& known);

} // namespace kiv::tools
