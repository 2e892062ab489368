#pragma once

#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>

#include <cstdio>
#include <functional>
#include <vector>

// The one binary reader and writer: game data, saved games, replays and every object's own
// record. Values are little-endian in fixed widths whatever their size in memory (long is
// four bytes in a file). A name that matches an embedded data resource is read from it;
// otherwise the disk file is used. A read past the end of a disk file reads what is there,
// leaves the rest of the buffer as it was and sets the end-of-file indicator; readers of game
// data check it (or the counts they read) and end through the fatal exit. A read past the end
// of a resource ends the game through the fatal exit, naming the file.
class KIV_API File {
public:
    enum Mode { Reading = 0, Writing = 1 };

    File(const char* name, Mode mode);
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    long Size();
    long Position();
    void SeekBegin(long n);
    void SeekCur(long n);
    // Position = size - n.
    void SeekEnd(long n);
    // Resource: at the end. Disk: only after a read has run past the end.
    bool EndOfFile();
    // Ends through the fatal exit unless at least n more bytes can be read.
    void Require(long n);
    // Ends through the fatal exit (message 104 naming the file) when a read has run past
    // the end: the record just read was cut short.
    void CheckNotCutShort();

    void Write(const void* data, int n);
    void Read(void* data, int n);
    // Writes out what is buffered, down to the disk; false when any write to this file
    // failed (a full disk), or for a file that is not written.
    bool Flush();

    void Write(bool v);
    void Write(unsigned char v);
    void Write(unsigned short v);
    void Write(unsigned int v);
    void Write(unsigned long v);
    void Write(char v);
    void Write(short v);
    void Write(int v);
    void Write(long v);
    void Write(float v);
    void Write(double v);
    void Write(const tagRECT& r);
    void Write(const KivRect& r);
    void Write(const FRECT& r);

    void Read(bool& v);
    void Read(unsigned char& v);
    void Read(unsigned short& v);
    void Read(unsigned int& v);
    void Read(unsigned long& v);
    void Read(char& v);
    void Read(short& v);
    void Read(int& v);
    void Read(long& v);
    void Read(float& v);
    void Read(double& v);
    void Read(tagRECT& r);
    void Read(KivRect& r);
    void Read(FRECT& r);

    // Object references: class name and per-file object number; an object met again is
    // written as a short reference and read back as the same object.
    void Write(node* object);
    void Read(node*& object);
    // Reads a reference to an object that the reader will own: only an object met here for
    // the first time and of class T is returned (anything else gives null), so damaged data
    // can never make two owners of one object.
    template <class T>
    T* ReadOwned() {
        node* object = nullptr;
        if (!ReadReference(object))
            return nullptr;
        T* owned = dynamic_cast<T*>(object);
        if (owned)
            Claim(owned);
        return owned;
    }
    // Whether a reader took the object as its own through ReadOwned.
    bool Claimed(const node* object) const;
    // Whether the object's record is being read: it holds what is read now, so a damaged
    // record that names it again must not put it inside itself.
    bool Loading(const node* object) const;
    // The objects that reading this file made and that nothing owns: not taken through
    // ReadOwned and in no list. Damaged data can leave such objects (or refer to them only
    // from places that do not own what they point at); whoever loaded the file must keep them
    // alive as long as what it loaded.
    std::vector<node*> Unowned() const;
    // Runs `keep` once, before the fatal exit, when a read of this file is found cut short:
    // the loader takes the unowned objects there, so that an exit handler that returns (in
    // tests and fuzzers) leaves nothing behind.
    void OnCutShort(std::function<void()> keep) { cutShort = std::move(keep); }

    const char* Name() const;

private:
    struct ObjectTable;

    // Reads an object reference; true when the object was made by this call.
    bool ReadReference(node*& object);
    void Claim(node* object);
    // Reads a value of the file's width over the bytes of `v`.
    template <class Stored, class T>
    void ReadOver(T& v);
    void WriteU32(std::uint32_t v);
    [[noreturn]] void Truncated();

    std::FILE* stream;
    bool reading;
    bool writeFailed;
    ObjectTable* objects;
    int objectCount;
    bool fromResource;
    const unsigned char* resourceData;
    long resourcePosition;
    long size;
    int depth;
    // A read ran past the end of the disk file (seeks clear the stream's own indicator).
    bool readPastEnd;
    String fileName;
    std::function<void()> cutShort;
};

// The object made by the factory registered under that exact class name, or null.
KIV_API node* CreateObject(const char* className);
