#include <kiv/base/Console.h>
#include <kiv/base/UserError.h>

#include "base/Diagnostics.h"
#include "base/Messages.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>

UserError _UE;

UserError::ErrorList UserError::SpritesErrors;
UserError::ErrorList UserError::VariablesErrors;
UserError::ErrorList UserError::MapsErrors;
UserError::ErrorList UserError::AlarmsErrors;
UserError::ErrorList UserError::GameErrors;
UserError::ErrorList UserError::Errors;

namespace {

struct Labelled {
    const char* text;
    const char* label;
};

// The context fields that the game fills, in the order reports show them.
std::array<Labelled, 6> Context(const UserError& e) {
    return {{{e.objectType, "Object type : "},
             {e.objectName, "Object name : "},
             {e.stateMachineName, "State machine name : "},
             {e.stateName, "State name : "},
             {e.edgeName, "Edge name : "},
             {e.functionName, "Function Name : "}}};
}

UserError::ErrorList& ListFor(const char* type) {
    if (std::strcmp(type, "Sprite") == 0)
        return UserError::SpritesErrors;
    if (std::strcmp(type, "Variable") == 0)
        return UserError::VariablesErrors;
    if (std::strcmp(type, "Map") == 0)
        return UserError::MapsErrors;
    if (std::strcmp(type, "Alarm") == 0)
        return UserError::AlarmsErrors;
    if (std::strcmp(type, "Game") == 0)
        return UserError::GameErrors;
    return UserError::Errors;
}

// Report lines go to the console (and so to the log) and to standard error.
void Out(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Out(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (pConsole)
        pConsole->Print("%s", text);
    kiv::WriteStandardError(text);
}

template <size_t N>
void Copy(char (&field)[N], const char* text) {
    std::snprintf(field, N, "%s", text ? text : "");
}

template <size_t N>
bool Same(const char (&a)[N], const char (&b)[N]) {
    return std::strncmp(a, b, N) == 0;
}

} // namespace

UserError::UserError()
    : objectName{}, objectType{}, stateMachineName{}, stateName{}, edgeName{}, functionName{},
      targetFunction{}, errorMessage{} {}

bool UserError::operator==(const UserError& o) const {
    return this == &o ||
           (Same(objectName, o.objectName) && Same(objectType, o.objectType) &&
            Same(stateMachineName, o.stateMachineName) && Same(stateName, o.stateName) &&
            Same(edgeName, o.edgeName) && Same(functionName, o.functionName) &&
            Same(targetFunction, o.targetFunction) && Same(errorMessage, o.errorMessage));
}

void UserError::Print() {
    ErrorList& reported = ListFor(objectType);
    for (const UserError& e : reported)
        if (e == *this)
            return;
    if (reported.size() == reported.capacity())
        reported.reserve(reported.size() + 10);
    reported.push_back(*this);

    Out("User Error :\n");
    for (const Labelled& f : Context(*this))
        if (f.text[0])
            Out("%s%s\n", f.label, f.text);
    Out("Target Function : %s\n", targetFunction);
    Out("Error Message : %s\n", errorMessage);
    Out("\n");
    if (pConsole)
        pConsole->Show(true);
}

void UserError::ExitMessage() {
    char text[512];
    int n = std::snprintf(text, sizeof text, "User Error :\n");
    auto append = [&](const char* label, const char* value, const char* end) {
        if (n < static_cast<int>(sizeof text))
            n += std::snprintf(text + n, sizeof text - n, "%s%s%s", label, value, end);
    };
    for (const Labelled& f : Context(*this))
        if (f.text[0])
            append(f.label, f.text, "\n");
    append("Target Function : ", targetFunction, "\n");
    append("Error Message : ", errorMessage, "");
    FatalError("%s", text);
}

namespace kiv {

namespace {

// Fills the library's part of the shared record: the failing operation and the message.
void Fill(const char* function, int index, va_list args) {
    Copy(_UE.targetFunction, function);
    std::vsnprintf(_UE.errorMessage, sizeof _UE.errorMessage, Message(index), args);
}

} // namespace

void ExitWithUserError(const char* function, int index, ...) {
    va_list args;
    va_start(args, index);
    Fill(function, index, args);
    va_end(args);
    _UE.ExitMessage();
}

void ReportUserError(const char* function, int index, ...) {
    va_list args;
    va_start(args, index);
    Fill(function, index, args);
    va_end(args);
    _UE.Print();
}

void ReportUserErrorText(const char* function, const char* message) {
    Copy(_UE.targetFunction, function);
    Copy(_UE.errorMessage, message);
    _UE.Print();
}

} // namespace kiv
