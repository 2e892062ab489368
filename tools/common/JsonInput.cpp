#include "JsonInput.h"

#include "GameData.h"

namespace kiv::tools {

namespace {

struct TooDeep {};

} // namespace

Json ParseDescription(const std::string& text, const std::string& source) {
    auto limit = [](int depth, Json::parse_event_t, Json&) {
        if (depth > MaxJsonDepth)
            throw TooDeep{};
        return true;
    };
    try {
        return Json::parse(text, limit);
    } catch (const TooDeep&) {
        throw DataError(source + ": nested more than " + std::to_string(MaxJsonDepth) +
                        " levels deep");
    } catch (const Json::parse_error& e) {
        throw DataError(source + ": not valid JSON: " + e.what());
    }
}

Json ReadDescription(const std::filesystem::path& file) {
    std::vector<unsigned char> bytes = ReadFile(file);
    return ParseDescription(std::string(bytes.begin(), bytes.end()), file.string());
}

} // namespace kiv::tools
