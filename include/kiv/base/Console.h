#pragma once

#include <kiv/variables/Variable.h>

// The debug console: a scrolling text variable that collects user errors and other output,
// and rewrites the log file "Kiv.log" after every print.
class KIV_API Console : public Variable {
public:
    Console();
    ~Console() override;

    using Variable::operator=;

    // Appends a formatted text (at most 511 characters), headed by the frame number the
    // first time something is printed in a frame, and scrolls to its last line.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Draws the console when it is shown, then scrolls to its last line when something was
    // printed since the last frame.
    void Display();

    // Shows or hides the console, and the game's cursor with it.
    void Show(bool visible);
    bool Show() const { return Visible(); }
    using Variable::Color;
    void Color(unsigned long colour);

private:
    void WriteLog();
};

extern KIV_API Console* pConsole;
