#pragma once

#include <kiv/Export.h>

#include <vector>

// Context of a fault in game logic. The game executable fills the context fields of the
// shared record _UE before it calls into the library; the library adds the failing
// operation's signature and the message, then reports the record once per distinct error.
class KIV_API UserError {
public:
    UserError();

    bool operator==(const UserError& other) const;

    // Reports the error on the console and in the log, unless an equal one was reported.
    void Print();
    // Reports the error through the fatal exit.
    [[noreturn]] void ExitMessage();

    char objectName[256];
    char objectType[256];
    char stateMachineName[256];
    char stateName[256];
    char edgeName[256];
    char functionName[256];
    char targetFunction[256];
    char errorMessage[512];

    typedef std::vector<UserError> ErrorList;
    static ErrorList SpritesErrors;
    static ErrorList VariablesErrors;
    static ErrorList MapsErrors;
    static ErrorList AlarmsErrors;
    static ErrorList GameErrors;
    static ErrorList Errors;
};

extern KIV_API UserError _UE;

// Shows the message in a box, logs it, tears the game down and ends the process.
[[noreturn]] KIV_API void FatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));
