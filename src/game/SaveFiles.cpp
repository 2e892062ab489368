#include "game/SaveFiles.h"

#include <kiv/base/UserError.h>

#include "base/Messages.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace kiv {

namespace fs = std::filesystem;

SafeFile::SafeFile(const char* name) : target(platform::LocalPath(name)) {
    temporary = target + ".kivtmp";
    // File's own fatal message would name the temporary file: the player knows the target.
    if (std::FILE* probe = std::fopen(temporary.c_str(), "wb"))
        std::fclose(probe);
    else
        FatalError(Message(105), name);
    file = std::make_unique<File>(temporary.c_str(), File::Writing);
}

SafeFile::~SafeFile() {
    std::error_code ec;
    if (file) {
        file.reset();
        fs::remove(temporary, ec);
    }
}

bool SafeFile::Commit() {
    bool written = file->Flush();
    file.reset();
    std::error_code ec;
    if (written)
        fs::rename(temporary, target, ec);
    if (!written || ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool ReadMagic(File& file, std::initializer_list<const char*> magics) {
    if (file.Size() < MagicLength)
        return false;
    char word[MagicLength];
    file.Read(word, MagicLength);
    for (const char* magic : magics)
        if (std::memcmp(word, magic, MagicLength) == 0)
            return true;
    return false;
}

bool CopySafely(const char* from, const char* to) {
    std::ifstream in(platform::LocalPath(from), std::ios::binary);
    if (!in)
        return false;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    SafeFile out(to);
    out.Get().Write(bytes.data(), static_cast<int>(bytes.size()));
    return out.Commit();
}

String WorkFile(const char* name) {
    return CurrentDirectory + name;
}

void RemoveWorkFiles() {
    std::error_code ec;
    for (const char* name : {StartOfRecording, StartOfReplay})
        fs::remove(platform::LocalPath(WorkFile(name)), ec);
}

String ReplayStartName(const char* replay) {
    String name;
    name.assign(replay, std::max(0, static_cast<int>(std::strlen(replay)) - 4));
    return name + ".sar";
}

void SaveError(int message) {
    platform::Current().GetDialogs().MessageBox(Message(message), "Error", platform::MbIconError);
}

} // namespace kiv
