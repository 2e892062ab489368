#include <kiv/base/String.h>
#include <kiv/data/File.h>

#include <cstring>

String::String() : buffer(new char[1]) {
    buffer[0] = '\0';
}

String::String(const char* text) : String() {
    if (text)
        set(text, static_cast<int>(std::strlen(text)));
}

String::String(const String& other) : String(other.buffer) {}

String& String::operator=(const String& other) {
    if (&other != this)
        set(other.buffer, other.length());
    return *this;
}

String::~String() {
    delete[] buffer;
}

void String::reserve(int n) {
    if (n <= length())
        return;
    char* grown = new char[n + 1];
    delete[] buffer;
    buffer = grown;
}

void String::set(const char* s, int n) {
    reserve(n);
    std::memmove(buffer, s, n);
    buffer[n] = '\0';
}

String& String::operator+=(const String& other) {
    int a = length();
    int b = other.length();
    char* joined = new char[a + b + 1];
    std::memcpy(joined, buffer, a);
    std::memcpy(joined + a, other.buffer, b + 1);
    delete[] buffer;
    buffer = joined;
    return *this;
}

int String::length() const {
    return static_cast<int>(std::strlen(buffer));
}

void String::erase() {
    buffer[0] = '\0';
}

void String::assign(const char* s, int n) {
    if (!s || n <= 0) {
        erase();
        return;
    }
    set(s, static_cast<int>(strnlen(s, static_cast<size_t>(n))));
}

void String::Save(File& file) {
    int n = length();
    file.Write(n);
    if (n > 0)
        file.Write(buffer, n);
}

void String::Load(File& file) {
    int n = 0;
    file.Read(n);
    if (n == 0)
        return;
    file.Require(n);
    reserve(n);
    file.Read(buffer, n);
    buffer[n] = '\0';
}

String operator+(const String& a, const String& b) {
    String joined(a);
    joined += b;
    return joined;
}

bool operator==(const String& a, const String& b) {
    return std::strcmp(a, b) == 0;
}
bool operator==(const String& a, const char* b) {
    return b && std::strcmp(a, b) == 0;
}
bool operator==(const char* a, const String& b) {
    return b == a;
}
bool operator!=(const String& a, const String& b) {
    return !(a == b);
}
bool operator!=(const String& a, const char* b) {
    return !(a == b);
}
bool operator!=(const char* a, const String& b) {
    return !(b == a);
}
