#pragma once

#include <kiv/base/String.h>

class node;

// One registration of a class that can be rebuilt from a file. Each such class defines one
// static CREATE object, so the registry is complete when the library is loaded.
class KIV_API CREATE {
public:
    typedef node* (*Factory)();

    CREATE(const char* className, Factory factory);

    // The factory registered under exactly that name, or null.
    static Factory Find(const char* className);

    String name;
    Factory factory;
};
