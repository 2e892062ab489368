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
    // first time something is printed in a frame.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));

    void Show(bool visible);
    bool Show() const { return Visible(); }
    using Variable::Color;
    void Color(unsigned long colour);

private:
    void WriteLog();
};

extern KIV_API Console* pConsole;
