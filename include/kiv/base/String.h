#pragma once

#include <kiv/Export.h>

class File;

// Owned, NUL-terminated text; never null (the empty text is a one-byte buffer).
class KIV_API String {
public:
    String();
    String(const char* text);
    String(const String& other);
    String& operator=(const String& other);
    ~String();

    String& operator+=(const String& other);

    int length() const;
    bool empty() const { return buffer[0] == '\0'; }
    void erase();
    // The text becomes the first min(n, length of s) characters of s; null gives "".
    void assign(const char* s, int n);

    operator const char*() const { return buffer; }

    // Record: int length, then the characters without terminator.
    void Save(File& file);
    // A zero length leaves the text as it was.
    void Load(File& file);

private:
    // Makes room for n characters; the buffer is replaced only when n is longer than the
    // current text (whose characters are then lost).
    void reserve(int n);
    // Copies n characters of s.
    void set(const char* s, int n);

    char* buffer;
};

KIV_API String operator+(const String& a, const String& b);
KIV_API bool operator==(const String& a, const String& b);
KIV_API bool operator==(const String& a, const char* b);
KIV_API bool operator==(const char* a, const String& b);
KIV_API bool operator!=(const String& a, const String& b);
KIV_API bool operator!=(const String& a, const char* b);
KIV_API bool operator!=(const char* a, const String& b);
