#pragma once

#include <kiv/Export.h>

// One resource embedded in the game executable: raw data looked up by type ("RCDATA",
// "WAVE", "midi", ...) and name, both compared without regard to letter case.
struct KivResource {
    const char* type;
    const char* name;
    const unsigned char* data;
    unsigned long size;
};

// Makes the game's embedded resources known to the library; call it before KivMain. The
// table must stay valid for the whole run. kiv_embed_resources() in CMake generates one.
KIV_API void KivRegisterResources(const KivResource* resources, int count);
