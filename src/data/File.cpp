#include <kiv/base/UserError.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>

#include "base/Messages.h"
#include "platform/Platform.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

constexpr int ClassNameField = 32;
// Object records nest (a level holds sprites that hold behaviors...); a file that nests
// deeper than any real game is damaged, and following it would exhaust the stack.
constexpr int MaxNesting = 1000;

} // namespace

struct File::ObjectTable {
    std::unordered_map<int, node*> byNumber;
    std::unordered_map<const node*, int> byObject;
    // Objects made by reading, by number, and those a reader took as its own.
    std::map<int, node*> made;
    std::unordered_set<const node*> claimed;
    // Objects whose records are being read: the objects that hold the one read now.
    std::unordered_set<const node*> loading;

    ObjectTable() {
        byNumber.reserve(128);
        byObject.reserve(128);
    }
};

File::File(const char* name, Mode mode)
    : stream(nullptr), reading(false), writeFailed(false), objects(nullptr), objectCount(0),
      fromResource(false), resourceData(nullptr), resourcePosition(0), size(0), depth(0),
      readPastEnd(false), fileName(name) {
    if (const KivResource* r = kiv::platform::Resources::Instance().Find("RCDATA", name)) {
        fromResource = true;
        resourceData = r->data;
        size = static_cast<long>(r->size);
    } else {
        reading = mode == Reading;
        std::string path = kiv::platform::LocalPath(name);
        stream = std::fopen(path.c_str(), reading ? "rb" : "wb");
        if (!stream)
            FatalError(kiv::Message(reading ? 104 : 105), path.c_str());
        size = Size();
    }
    // Made once the file is open: a file that can't be opened leaves nothing behind.
    objects = new ObjectTable;
}

File::~File() {
    if (stream)
        std::fclose(stream);
    delete objects;
}

const char* File::Name() const {
    return fileName;
}

long File::Size() {
    if (fromResource)
        return size;
    long here = std::ftell(stream);
    std::fseek(stream, 0, SEEK_END);
    long end = std::ftell(stream);
    std::fseek(stream, here, SEEK_SET);
    return end;
}

long File::Position() {
    return fromResource ? resourcePosition : std::ftell(stream);
}

void File::SeekBegin(long n) {
    if (fromResource)
        resourcePosition = n;
    else
        std::fseek(stream, n, SEEK_SET);
}

void File::SeekCur(long n) {
    SeekBegin(Position() + n);
}

void File::SeekEnd(long n) {
    SeekBegin(Size() - n);
}

bool File::EndOfFile() {
    return fromResource ? resourcePosition == size : std::feof(stream) != 0;
}

void File::Require(long n) {
    long position = Position();
    // A file being read keeps the size it had when opened.
    long end = fromResource || reading ? size : Size();
    if (n < 0 || position < 0 || n > end - position)
        Truncated();
}

void File::CheckNotCutShort() {
    if (readPastEnd)
        Truncated();
}

void File::Truncated() {
    if (auto keep = std::exchange(cutShort, nullptr))
        keep();
    FatalError(kiv::Message(104), kiv::platform::LocalPath(fileName).c_str());
}

void File::Write(const void* data, int n) {
    if (stream && !reading && n > 0 &&
        std::fwrite(data, 1, static_cast<size_t>(n), stream) != static_cast<size_t>(n))
        writeFailed = true;
}

bool File::Flush() {
    if (!stream || reading)
        return false;
    if (std::fflush(stream) != 0 || !kiv::platform::SyncToDisk(stream))
        writeFailed = true;
    return !writeFailed;
}

void File::Read(void* data, int n) {
    if (n <= 0)
        return;
    if (fromResource) {
        if (resourcePosition < 0 || n > size - resourcePosition)
            Truncated();
        std::memcpy(data, resourceData + resourcePosition, static_cast<size_t>(n));
        resourcePosition += n;
    } else {
        // A short read keeps what it got; the stream's end-of-file indicator tells the caller.
        if (std::fread(data, 1, static_cast<size_t>(n), stream) != static_cast<size_t>(n))
            readPastEnd = true;
    }
}

void File::WriteU32(std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Write(b, 4);
}

// Values are read over their own bytes, which on this little-endian system are already in
// the file's order: a read cut short by the end of a disk file leaves the bytes it did not
// reach as they were. (Bytes are copied, never read as a possibly unset value.)
static_assert(std::endian::native == std::endian::little);

template <class Stored, class T>
void File::ReadOver(T& v) {
    static_assert(sizeof(Stored) <= sizeof(T));
    Stored stored;
    std::memcpy(&stored, &v, sizeof stored);
    Read(&stored, static_cast<int>(sizeof stored));
    v = static_cast<T>(stored);
}

void File::Write(bool v) {
    Write(static_cast<unsigned char>(v ? 1 : 0));
}
void File::Write(unsigned char v) {
    Write(&v, 1);
}
void File::Write(char v) {
    Write(static_cast<unsigned char>(v));
}
void File::Write(unsigned short v) {
    unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    Write(b, 2);
}
void File::Write(short v) {
    Write(static_cast<unsigned short>(v));
}
void File::Write(unsigned int v) {
    WriteU32(v);
}
void File::Write(int v) {
    WriteU32(static_cast<std::uint32_t>(v));
}
// long is four bytes in every file, whatever its width in memory.
void File::Write(unsigned long v) {
    WriteU32(static_cast<std::uint32_t>(v));
}
void File::Write(long v) {
    WriteU32(static_cast<std::uint32_t>(v));
}
void File::Write(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    WriteU32(bits);
}
void File::Write(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    WriteU32(static_cast<std::uint32_t>(bits));
    WriteU32(static_cast<std::uint32_t>(bits >> 32));
}
void File::Write(const tagRECT& r) {
    Write(r.left), Write(r.top), Write(r.right), Write(r.bottom);
}
void File::Write(const KivRect& r) {
    Write(r.left), Write(r.top), Write(r.right), Write(r.bottom);
}
void File::Write(const FRECT& r) {
    Write(r.top), Write(r.left), Write(r.bottom), Write(r.right);
}

void File::Read(bool& v) {
    ReadOver<unsigned char>(v);
}
void File::Read(unsigned char& v) {
    Read(&v, 1);
}
void File::Read(char& v) {
    Read(&v, 1);
}
void File::Read(unsigned short& v) {
    Read(&v, 2);
}
void File::Read(short& v) {
    Read(&v, 2);
}
void File::Read(unsigned int& v) {
    Read(&v, 4);
}
void File::Read(int& v) {
    Read(&v, 4);
}
// long is four bytes in every file, whatever its width in memory.
void File::Read(unsigned long& v) {
    ReadOver<std::uint32_t>(v);
}
void File::Read(long& v) {
    ReadOver<std::int32_t>(v);
}
void File::Read(float& v) {
    Read(&v, 4);
}
void File::Read(double& v) {
    Read(&v, 8);
}
void File::Read(tagRECT& r) {
    Read(r.left), Read(r.top), Read(r.right), Read(r.bottom);
}
void File::Read(KivRect& r) {
    Read(r.left), Read(r.top), Read(r.right), Read(r.bottom);
}
void File::Read(FRECT& r) {
    Read(r.top), Read(r.left), Read(r.bottom), Read(r.right);
}

void File::Write(node* object) {
    if (!object) {
        Write(0);
        return;
    }
    char field[ClassNameField] = {};
    std::strncpy(field, object->ClassName(), ClassNameField - 1);
    auto known = objects->byObject.find(object);
    if (known != objects->byObject.end()) {
        Write(field, ClassNameField);
        Write(known->second);
        return;
    }
    ++objectCount;
    objects->byObject.emplace(object, objectCount);
    objects->byNumber.emplace(objectCount, object);
    Write(field, ClassNameField);
    Write(objectCount);
    object->Save(*this);
}

void File::Read(node*& object) {
    ReadReference(object);
}

void File::Claim(node* object) {
    objects->claimed.insert(object);
}

bool File::Claimed(const node* object) const {
    return objects->claimed.count(object) != 0;
}

bool File::Loading(const node* object) const {
    return objects->loading.count(object) != 0;
}

std::vector<node*> File::Unowned() const {
    std::vector<node*> unowned;
    for (const auto& [number, object] : objects->made)
        if (!object->next && !Claimed(object))
            unowned.push_back(object);
    return unowned;
}

bool File::ReadReference(node*& object) {
    long start = Position();
    int first = 0;
    Read(first);
    if (first == 0) {
        object = nullptr;
        return false;
    }
    SeekBegin(start);
    char field[ClassNameField] = {};
    Read(field, ClassNameField);
    field[ClassNameField - 1] = '\0';
    int number = 0;
    Read(number);
    auto known = objects->byNumber.find(number);
    if (known != objects->byNumber.end()) {
        object = known->second;
        return false;
    }
    object = CreateObject(field);
    objects->byNumber.emplace(number, object);
    if (!object)
        return false;
    objects->made.emplace(number, object);
    if (++depth > MaxNesting)
        Truncated();
    objects->loading.insert(object);
    object->Load(*this);
    objects->loading.erase(object);
    --depth;
    return true;
}

node* CreateObject(const char* className) {
    CREATE::Factory factory = CREATE::Find(className);
    return factory ? factory() : nullptr;
}
