#pragma once

// Symbols that a game executable may use carry KIV_API; everything else in the library is
// hidden, so the shared library's interface is exactly what the headers under kiv/ declare.
#define KIV_API __attribute__((visibility("default")))
