#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// The name of `known` that `word` most likely misspells (a few letters typed wrong, missing,
// extra or swapped); empty when none is that close.
std::string NearestName(std::string_view word, const std::vector<std::string>& known);

} // namespace kiv
