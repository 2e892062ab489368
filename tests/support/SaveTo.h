#pragma once

#include <kiv/data/File.h>

namespace kiv::test {

// Writes the record of `object` alone into the file `path`.
template <class T>
void SaveTo(const char* path, T&& object) {
    File file(path, File::Writing);
    object.Save(file);
}

} // namespace kiv::test
