#pragma once

#include <string>
#include <vector>

namespace kiv {

// One argument of a command line and where its text lies in the line.
struct Argument {
    std::string text;  // with quotes and escapes resolved
    size_t begin, end; // the characters of the line it was read from
};

// Splits a command line as the games' own platform splits it: blanks separate arguments
// except inside double quotes; a backslash escapes a double quote (2n backslashes before a
// quote give n backslashes, 2n + 1 give n and a literal quote); other backslashes are plain.
std::vector<Argument> SplitCommandLine(const char* line);

// The argument written so that SplitCommandLine reads it back: as it is when it holds no
// blank or quote, otherwise quoted (only the value of an --option=value).
std::string QuoteArgument(const std::string& argument);

} // namespace kiv
