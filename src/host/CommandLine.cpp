#include "host/CommandLine.h"

#include <kiv/host/Host.h>

namespace kiv {

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Quotes `text` so that the backslashes in it keep their number.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"')
                out.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        out += c;
    }
    out.append(backslashes, '\\'); // doubled before the closing quote
    return out + "\"";
}

} // namespace

std::vector<Argument> SplitCommandLine(const char* line) {
    std::vector<Argument> out;
    if (!line)
        return out;
    size_t i = 0;
    for (;;) {
        while (line[i] && Blank(line[i]))
            ++i;
        if (!line[i])
            return out;
        Argument a{"", i, i};
        bool quoted = false;
        while (line[i] && (quoted || !Blank(line[i]))) {
            if (line[i] == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (line[i] != '\\') {
                a.text += line[i++];
                continue;
            }
            size_t backslashes = 0;
            for (; line[i] == '\\'; ++i)
                ++backslashes;
            if (line[i] != '"') {
                a.text.append(backslashes, '\\');
                continue;
            }
            a.text.append(backslashes / 2, '\\');
            if (backslashes % 2) { // an escaped quote; an even run leaves the quote to toggle
                a.text += '"';
                ++i;
            }
        }
        a.end = i;
        out.push_back(std::move(a));
    }
}

std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\r\"") == std::string::npos)
        return argument;
    size_t eq = argument.find('=');
    if (argument.rfind("--", 0) == 0 && eq != std::string::npos &&
        argument.find_first_of(" \t\n\r\"") > eq)
        return argument.substr(0, eq + 1) + Quoted(argument.substr(eq + 1));
    return Quoted(argument);
}

} // namespace kiv

char* KivCommandLine(int argc, char** argv) {
    static std::string line;
    line.clear();
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += kiv::QuoteArgument(argv[i] ? argv[i] : "");
    }
    return line.data();
}
