#include "sound/WaveFile.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kiv {

namespace {

constexpr std::size_t DiskBufferBytes = 16384;

std::uint32_t U32(const unsigned char* b) {
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint16_t U16(const unsigned char* b) {
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

} // namespace

bool WaveFile::OpenMemory(const unsigned char* bytes, std::uint64_t size) {
    Close();
    if (!bytes)
        return false;
    memory = bytes;
    fileSize = size;
    if (ReadFormat())
        return true;
    Close();
    return false;
}

bool WaveFile::OpenDisk(const std::string& path) {
    Close();
    disk = std::fopen(path.c_str(), "rb");
    if (!disk)
        return false;
    diskBuffer.resize(DiskBufferBytes);
    std::setvbuf(disk, diskBuffer.data(), _IOFBF, diskBuffer.size());
    long size = -1;
    if (std::fseek(disk, 0, SEEK_END) == 0)
        size = std::ftell(disk);
    fileSize = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    diskPosition = NoPosition;
    if (size >= 0 && ReadFormat())
        return true;
    Close();
    return false;
}

void WaveFile::Close() {
    if (disk)
        std::fclose(disk);
    disk = nullptr;
    memory = nullptr;
    diskBuffer.clear();
    diskBuffer.shrink_to_fit();
    fileSize = riffEnd = 0;
    riff = data = WaveChunk{};
    position = 0;
}

bool WaveFile::ReadAt(std::uint64_t offset, void* out, std::uint64_t n) {
    if (offset > fileSize || n > fileSize - offset)
        return false;
    if (n == 0)
        return true;
    if (memory) {
        std::memcpy(out, memory + offset, n);
        return true;
    }
    if (!disk || offset > static_cast<std::uint64_t>(LONG_MAX))
        return false;
    if (diskPosition != offset) {
        diskPosition = NoPosition;
        if (std::fseek(disk, static_cast<long>(offset), SEEK_SET) != 0)
            return false;
    }
    if (std::fread(out, 1, n, disk) != n) {
        diskPosition = NoPosition;
        return false;
    }
    diskPosition = offset + n;
    return true;
}

bool WaveFile::ReadFormat() {
    unsigned char header[12];
    if (!ReadAt(0, header, sizeof header))
        return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    std::memcpy(riff.id, "RIFF", 4);
    riff.offset = 8;
    riff.size = U32(header + 4);
    // Writers that stream often leave the RIFF size wrong; the file's end bounds it as well.
    riffEnd = std::min<std::uint64_t>(riff.offset + riff.size, fileSize);

    WaveChunk fmt;
    if (!Find("fmt ", fmt) || fmt.size < 16)
        return false;
    unsigned char pcm[16];
    if (!ReadAt(fmt.offset, pcm, sizeof pcm))
        return false;
    format = WaveFormat{};
    format.formatTag = U16(pcm);
    format.channels = U16(pcm + 2);
    format.samplesPerSec = U32(pcm + 4);
    format.avgBytesPerSec = U32(pcm + 8);
    format.blockAlign = U16(pcm + 12);
    format.bitsPerSample = U16(pcm + 14);
    if (format.formatTag != 1) {
        unsigned char extraSize[2];
        if (fmt.size < 18 || !ReadAt(fmt.offset + 16, extraSize, 2))
            return false;
        std::uint16_t n = U16(extraSize);
        if (n > fmt.size - 18u)
            return false;
        format.extra.resize(n);
        if (!ReadAt(fmt.offset + 18, format.extra.data(), n))
            return false;
    }
    return true;
}

bool WaveFile::Find(const char* id, WaveChunk& out) {
    std::uint64_t at = riff.offset + 4; // after the form type
    while (at + 8 <= riffEnd) {
        unsigned char header[8];
        if (!ReadAt(at, header, sizeof header))
            return false;
        std::uint32_t size = U32(header + 4);
        std::uint64_t body = at + 8;
        if (std::memcmp(header, id, 4) == 0) {
            if (body + size > riffEnd)
                return false; // cut short
            std::memcpy(out.id, header, 4);
            out.offset = body;
            out.size = size;
            return true;
        }
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    return false;
}

bool WaveFile::Rewind() {
    position = 0;
    data = WaveChunk{};
    if (!IsOpen())
        return false;
    WaveChunk found;
    if (!Find("data", found))
        return false;
    data = found;
    return true;
}

unsigned WaveFile::Read(unsigned n, unsigned char* out) {
    unsigned count = std::min(n, data.size - position);
    if (count == 0 || !out || !ReadAt(data.offset + position, out, count))
        return 0;
    position += count;
    return count;
}

unsigned WaveFile::Advance(unsigned n) {
    unsigned count = std::min(n, data.size - position);
    position += count;
    return count;
}

} // namespace kiv
