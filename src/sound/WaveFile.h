#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kiv {

// The format block of a wave file: the 16 bytes of PCM format, then for other encodings the
// extra bytes that the file declares.
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::vector<std::uint8_t> extra;
};

// Where a chunk lies in the file: its identifier, the offset of its data and the size of its
// data in bytes.
struct WaveChunk {
    char id[4] = {};
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
};

// A RIFF WAVE file read from memory (an embedded resource) or from disk. Opening checks the
// RIFF header and reads the format; Rewind finds the data chunk, which is then read in order.
// Nothing outside the file, and nothing of the data chunk beyond its declared size, is ever
// read: a chunk that claims more bytes than the file holds counts as missing.
class WaveFile {
public:
    WaveFile() = default;
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;
    ~WaveFile() { Close(); }

    // The bytes must outlive the file.
    bool OpenMemory(const unsigned char* data, std::uint64_t size);
    bool OpenDisk(const std::string& path);
    void Close();
    bool IsOpen() const { return memory != nullptr || disk != nullptr; }

    // Back to the start of the data chunk; false when the file has none that fits in it.
    bool Rewind();
    // Copies up to n bytes of the data chunk from the current position; returns how many.
    unsigned Read(unsigned n, unsigned char* out);
    // Skips up to n bytes of the data chunk; returns how many.
    unsigned Advance(unsigned n);

    const WaveFormat& Format() const { return format; }
    const WaveChunk& Riff() const { return riff; }
    // The data chunk found by the last Rewind (size 0 when there was none).
    const WaveChunk& Data() const { return data; }

private:
    bool ReadFormat();
    bool ReadAt(std::uint64_t offset, void* out, std::uint64_t n);
    // Looks for the chunk `id` among the RIFF chunk's sub-chunks.
    bool Find(const char* id, WaveChunk& out);

    const unsigned char* memory = nullptr;
    std::FILE* disk = nullptr;
    std::vector<char> diskBuffer;
    static constexpr std::uint64_t NoPosition = ~std::uint64_t{0};
    std::uint64_t diskPosition = NoPosition; // where the next read from disk starts
    std::uint64_t fileSize = 0;
    std::uint64_t riffEnd = 0;
    WaveChunk riff;
    WaveChunk data;
    std::uint32_t position = 0; // within the data chunk
    WaveFormat format;
};

} // namespace kiv
