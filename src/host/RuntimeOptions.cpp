#include "host/RuntimeOptions.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string_view>

namespace kiv {

namespace {

void Apply(RuntimeOptions& o, std::string_view name, const std::string& value) {
    if (name == "headless")
        o.headless = value.empty() || value == "1";
    else if (name == "frames")
        o.frames = std::strtoul(value.c_str(), nullptr, 10);
    else if (name == "screenshot")
        o.screenshot = value;
    else if (name == "input")
        o.input = value;
    else if (name == "windowed")
        o.windowed = value.empty() || value == "1" ? 1 : 0;
    else if (name == "fullscreen")
        o.windowed = 0;
    else if (name == "scale")
        o.scale = std::atoi(value.c_str());
}

void FromEnvironment(RuntimeOptions& o) {
    if (const char* p = std::getenv("KIV_PLATFORM"))
        o.headless = std::strcmp(p, "headless") == 0;
    static const char* const names[] = {"frames", "screenshot", "input", "windowed", "scale"};
    for (const char* name : names) {
        std::string variable = "KIV_" + std::string(name);
        for (char& c : variable)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (const char* value = std::getenv(variable.c_str()))
            Apply(o, name, value);
    }
}

} // namespace

RuntimeOptions RuntimeOptions::Take(char* commandLine) {
    RuntimeOptions o;
    FromEnvironment(o);
    if (!commandLine)
        return o;
    std::istringstream words(commandLine);
    std::string word, rest;
    while (words >> word) {
        if (word.rfind("--", 0) == 0) {
            size_t eq = word.find('=');
            std::string name = word.substr(2, eq == std::string::npos ? eq : eq - 2);
            Apply(o, name, eq == std::string::npos ? "" : word.substr(eq + 1));
        } else {
            rest += rest.empty() ? word : " " + word;
        }
    }
    std::memcpy(commandLine, rest.c_str(), rest.size() + 1);
    return o;
}

} // namespace kiv
