#include "host/RuntimeOptions.h"

#include "base/NearestName.h"
#include "base/WholeNumber.h"
#include "host/CommandLine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv {

namespace {

namespace fs = std::filesystem;

// Checks and stores one option's value; returns why it is refused, or nothing.
using Apply = std::string (*)(RuntimeOptions& o, const std::string& value);

struct Option {
    const char* name;     // after "--"
    const char* value;    // what the value is, in the help ("N", "FILE"); null for a flag
    const char* variable; // the KIV_* variable that gives it too, or null
    const char* help;
    Apply apply;
};

std::string Flag(const std::string& value, bool& out) {
    if (value.empty() || value == "1")
        out = true;
    else if (value == "0")
        out = false;
    else
        return "expected nothing, 1 or 0";
    return {};
}

std::string Whole(const std::string& value, long long hi, long long& out) {
    if (!ReadWholeNumber(value, 0, hi, out))
        return "expected a whole number from 0 to " + std::to_string(hi);
    return {};
}

// Why a file cannot be written at `path`, or nothing.
std::string Unwritable(const std::string& path) {
    if (path.empty())
        return "expected a file name";
    struct stat s;
    if (stat(path.c_str(), &s) == 0) {
        if (!S_ISREG(s.st_mode))
            return "not a plain file";
        return access(path.c_str(), W_OK) == 0 ? "" : "the file cannot be written";
    }
    fs::path folder = fs::path(path).parent_path();
    std::string f = folder.empty() ? "." : folder.string();
    if (stat(f.c_str(), &s) != 0 || !S_ISDIR(s.st_mode))
        return "the folder " + f + " does not exist";
    return access(f.c_str(), W_OK | X_OK) == 0 ? "" : "the folder " + f + " cannot be written";
}

// Why a file cannot be read at `path`, or nothing.
std::string Unreadable(const std::string& path) {
    struct stat s;
    if (path.empty() || stat(path.c_str(), &s) != 0)
        return "no such file";
    if (!S_ISREG(s.st_mode))
        return "not a plain file";
    return access(path.c_str(), R_OK) == 0 ? "" : "the file cannot be read";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const Option Options[] = {
    {"headless", nullptr, nullptr, "run without a window, on a virtual clock",
     [](RuntimeOptions& o, const std::string& v) { return Flag(v, o.headless); }},
    {"frames", "N", "KIV_FRAMES", "quit after N frames (0: never)",
     [](RuntimeOptions& o, const std::string& v) {
         long long n = 0;
         std::string why = Whole(v, UINT32_MAX, n);
         o.frames = static_cast<unsigned long>(n);
         return why;
     }},
    {"screenshot", "FILE", "KIV_SCREENSHOT", "save the last frame in FILE (.png, .bmp or .jpg)",
     [](RuntimeOptions& o, const std::string& v) -> std::string {
         std::string type = Lower(fs::path(v).extension().string());
         if (type != ".png" && type != ".bmp" && type != ".jpg" && type != ".jpeg")
             return "the file name must end in .png, .bmp or .jpg";
         o.screenshot = v;
         return Unwritable(v);
     }},
    {"input", "FILE", "KIV_INPUT", "play the input script FILE (see the README)",
     [](RuntimeOptions& o, const std::string& v) {
         o.input = v;
         return Unreadable(v);
     }},
    {"replay", "FILE", "KIV_REPLAY", "play the replay FILE (.rep) from the start, then quit",
     [](RuntimeOptions& o, const std::string& v) {
         o.replay = v;
         return Unreadable(v);
     }},
    {"windowed", nullptr, "KIV_WINDOWED", "play in a window (0: full screen)",
     [](RuntimeOptions& o, const std::string& v) {
         bool windowed = true;
         std::string why = Flag(v, windowed);
         o.windowed = windowed ? 1 : 0;
         return why;
     }},
    {"fullscreen", nullptr, nullptr, "play full screen",
     [](RuntimeOptions& o, const std::string& v) {
         bool full = true;
         std::string why = Flag(v, full);
         o.windowed = full ? 0 : 1;
         return why;
     }},
    {"scale", "N", "KIV_SCALE", "zoom a window N times (0: the most that fits the desktop)",
     [](RuntimeOptions& o, const std::string& v) {
         long long n = 0;
         std::string why = Whole(v, 64, n);
         o.scale = static_cast<int>(n);
         return why;
     }},
    {"log", "FILE", "KIV_LOG", "write the log of user errors to FILE instead of Kiv.log",
     [](RuntimeOptions& o, const std::string& v) {
         o.log = v;
         return Unwritable(v);
     }},
    {"host", "PORT", nullptr, "host the session of a network level on PORT",
     [](RuntimeOptions& o, const std::string& v) -> std::string {
         long long port = 0;
         if (!ReadWholeNumber(v, 1001, 65535, port))
             return "expected a port from 1001 to 65535";
         o.session = 1003, o.port = static_cast<unsigned long>(port);
         return {};
     }},
    {"join", "HOST:PORT", nullptr, "join the session of a network level hosted at HOST:PORT",
     [](RuntimeOptions& o, const std::string& v) -> std::string {
         long long port = 0;
         std::string_view host;
         if (!ReadHostAndPort(v, host, port) || port <= 1000)
             return "expected a host name, a colon and a port from 1001 to 65535";
         o.session = 1004, o.port = static_cast<unsigned long>(port), o.joinHost = host;
         return {};
     }},
    {"player", "NAME", "KIV_PLAYER", "go by NAME in network sessions (default: the login name)",
     [](RuntimeOptions& o, const std::string& v) -> std::string {
         if (v.empty() || v.size() > 255)
             return "expected a name of 1 to 255 bytes";
         o.player = v;
         return {};
     }},
    {"frame-hashes", "FILE", "KIV_FRAME_HASHES",
     "write the FNV-1a hash of the back buffer of every frame played to FILE",
     [](RuntimeOptions& o, const std::string& v) {
         o.frameHashes = v;
         return Unwritable(v);
     }},
    {"help", nullptr, nullptr, "show this help and quit",
     [](RuntimeOptions& o, const std::string& v) { return Flag(v, o.help); }},
    {"version", nullptr, nullptr, "show the version of KivCore and quit",
     [](RuntimeOptions& o, const std::string& v) { return Flag(v, o.version); }},
};

const Option* Find(const std::string& name) {
    for (const Option& option : Options)
        if (name == option.name)
            return &option;
    return nullptr;
}

void FromEnvironment(RuntimeOptions& o) {
    if (const char* p = std::getenv("KIV_PLATFORM"))
        o.headless = std::strcmp(p, "headless") == 0;
    for (const Option& option : Options) {
        const char* value = option.variable ? std::getenv(option.variable) : nullptr;
        if (!value)
            continue;
        std::string why = option.apply(o, value);
        if (!why.empty())
            o.refused.push_back(std::string(option.variable) + "=" + value + ": " + why);
    }
}

// Reads one --name[=value] argument; false when it is not an option of the runtime.
bool TakeOption(RuntimeOptions& o, const std::string& argument) {
    size_t eq = argument.find('=');
    std::string name = argument.substr(2, eq == std::string::npos ? eq : eq - 2);
    const Option* option = Find(name);
    if (!option) {
        std::vector<std::string> names;
        for (const Option& known : Options)
            names.emplace_back(known.name);
        std::string nearest = NearestName(name, names);
        if (!nearest.empty())
            o.notes.push_back("unknown option " + argument + ": did you mean --" + nearest +
                              "? (it is left for the game)");
        return false;
    }
    std::string value = eq == std::string::npos ? "" : argument.substr(eq + 1);
    if (option->value && eq == std::string::npos)
        o.refused.push_back(argument + ": expected --" + name + "=" + option->value);
    else if (std::string why = option->apply(o, value); !why.empty())
        o.refused.push_back(argument + ": " + why);
    return true;
}

} // namespace

RuntimeOptions RuntimeOptions::Take(char* commandLine) {
    RuntimeOptions o;
    FromEnvironment(o);
    if (!commandLine)
        return o;
    std::string line = commandLine, rest;
    for (const Argument& a : SplitCommandLine(commandLine)) {
        if (a.text.size() > 2 && a.text.rfind("--", 0) == 0 && TakeOption(o, a.text))
            continue;
        // Everything else stays as it was written, quotes included.
        rest += (rest.empty() ? "" : " ") + line.substr(a.begin, a.end - a.begin);
    }
    std::memcpy(commandLine, rest.c_str(), rest.size() + 1);
    return o;
}

std::string RuntimeOptions::Help(const char* program) {
    std::string text = std::string("Usage: ") + program + " [OPTION]...\n" +
                       "Options of the KivCore runtime (each also read from the variable named):\n";
    for (const Option& option : Options) {
        std::string left = std::string("  --") + option.name;
        if (option.value)
            left += std::string("=") + option.value;
        left.resize(std::max<size_t>(left.size() + 2, 22), ' ');
        text += left + option.help;
        if (option.variable)
            text += std::string(" [") + option.variable + "]";
        text += "\n";
    }
    text += "KIV_PLATFORM=sdl|headless chooses the backend; KIV_LOCK_FILE moves the lock file\n"
            "that keeps a second game from starting. Other arguments are left for the game.\n"
            "Exit status: 0 when the game quits, 1 after a fatal error, 2 when an option is\n"
            "refused, 3 when another game is running, 4 when the display cannot start, 5 when\n"
            "the game left a callback slot empty, 6 when the last frame cannot be saved;\n"
            "KIV_EXIT_STATUS=designed makes every early end report 0.\n";
    return text;
}

} // namespace kiv
