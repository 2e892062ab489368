#include "FieldNames.h"

#include "base/NearestName.h"

namespace kiv::tools {

namespace {

std::string Nearest(const std::string& word, const std::vector<std::string>& known) {
    std::string nearest = NearestName(word, known);
    return nearest.empty() ? "." : "; did you mean " + nearest + "?";
}

} // namespace

std::string UnknownField(const std::string& path, const std::string& key,
                         const std::vector<std::string>& valid) {
    std::string message = (path.empty() ? key : path + "." + key) + ": unknown field" +
                          Nearest(key, valid) + " The fields here are:";
    if (valid.empty())
        return message + " none.";
    for (size_t i = 0; i < valid.size(); ++i)
        message += (i ? ", " : " ") + valid[i];
    return message + ".";
}

std::string UnknownOption(const std::string& option, const std::vector<std::string>& known) {
    return "unknown option " + option + Nearest(option, known);
}

} // namespace kiv::tools
