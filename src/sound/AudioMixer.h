#pragma once

// The software sound device: any number of sound buffers (static or streaming, 8- or 16-bit,
// mono or stereo, any rate) mixed into the 44.1 kHz 16-bit stereo stream of an AudioOutput,
// with the buffer semantics the games were written for: a play cursor in bytes, looping,
// volume and pan in hundredths of a decibel, status bits, loss and restore.
//
// Threads: the game thread makes every call below; the output pulls Render, possibly on its
// own thread. Each buffer has a spinlock that either side holds only for a few stores, or
// for the mixing of one block of that buffer; nothing is allocated while rendering.

#include "platform/Audio.h"
#include "sound/WaveFile.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace kiv {

// Result codes, flags and limits of the sound calls, with the values of the system the games
// were written for.
namespace ds {
constexpr std::int32_t Code(std::uint32_t v) {
    return static_cast<std::int32_t>(v);
}
constexpr std::int32_t Ok = 0;
constexpr std::int32_t Allocated = Code(0x8878000A);
constexpr std::int32_t ControlUnavailable = Code(0x8878001E);
constexpr std::int32_t InvalidParam = Code(0x80070057);
constexpr std::int32_t InvalidCall = Code(0x88780032);
constexpr std::int32_t Generic = Code(0x80004005);
constexpr std::int32_t PriorityLevelNeeded = Code(0x88780046);
constexpr std::int32_t OutOfMemory = Code(0x8007000E);
constexpr std::int32_t BadFormat = Code(0x88780064);
constexpr std::int32_t Unsupported = Code(0x80004001);
constexpr std::int32_t NoDriver = Code(0x88780078);
constexpr std::int32_t AlreadyInitialized = Code(0x88780082);
constexpr std::int32_t NoAggregation = Code(0x80040110);
constexpr std::int32_t BufferLost = Code(0x88780096);
constexpr std::int32_t OtherApplicationHasPriority = Code(0x887800A0);
constexpr std::int32_t Uninitialized = Code(0x887800AA);
constexpr std::int32_t NoInterface = Code(0x80004002);
constexpr std::int32_t AccessDenied = Code(0x80070005);

// Buffer capabilities.
constexpr unsigned CapsStatic = 0x2;
constexpr unsigned CapsControlPan = 0x40;
constexpr unsigned CapsControlVolume = 0x80;
constexpr unsigned CapsGetCurrentPosition2 = 0x10000;
constexpr unsigned CapsLocDefer = 0x40000;
// Status bits.
constexpr unsigned StatusPlaying = 0x1;
constexpr unsigned StatusBufferLost = 0x2;
constexpr unsigned StatusLooping = 0x4;
// Play flag.
constexpr unsigned PlayLooping = 0x1;

constexpr int VolumeMin = -10000; // silence
constexpr int VolumeMax = 0;
constexpr int PanLeft = -10000;
constexpr int PanRight = 10000;
constexpr unsigned MinBufferBytes = 4;
constexpr unsigned MaxBufferBytes = 0x0FFFFFFF;
constexpr unsigned MinRate = 100;
constexpr unsigned MaxRate = 200000;
} // namespace ds

// Gain of a level in hundredths of a decibel: 10^(level / 2000); 0 at -10000 and below.
float GainOf(int hundredthsOfDecibel);

// A spinlock for the few stores the two threads share.
class SpinLock {
public:
    void lock();
    void unlock() { flag.clear(std::memory_order_release); }

private:
    std::atomic_flag flag = ATOMIC_FLAG_INIT;
};

class AudioMixer;

// One secondary buffer. Made and released by the mixer.
class SoundBuffer {
public:
    SoundBuffer() = default;
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Pointers to `bytes` bytes from `offset`; past the end the range continues at the start
    // of the buffer (second part, else null and 0).
    std::int32_t Lock(unsigned offset, unsigned bytes, std::uint8_t** first, unsigned* firstBytes,
                      std::uint8_t** second, unsigned* secondBytes);
    std::int32_t Unlock();
    // Plays from the cursor; to the end and then stops, or round and round with PlayLooping.
    std::int32_t Play(unsigned flags);
    // Stops where the cursor is.
    std::int32_t Stop();
    // The play cursor in bytes (and the write cursor, the same here: what the mixer has not
    // mixed yet may be written).
    std::int32_t GetCurrentPosition(unsigned* play, unsigned* write);
    std::int32_t SetCurrentPosition(unsigned position);
    std::int32_t GetStatus(unsigned* status);
    std::int32_t SetVolume(int volume);
    std::int32_t SetPan(int pan);
    std::int32_t GetVolume(int* volume);
    std::int32_t GetPan(int* pan);
    // Gives a lost buffer its memory back; the contents are then undefined.
    std::int32_t Restore();

    unsigned Bytes() const { return bytes; }
    unsigned Flags() const { return flags; }
    AudioMixer& Mixer() const { return *mixer; }
    const WaveFormat& Format() const { return format; }

private:
    friend class AudioMixer;

    void SetGains();
    // Audio thread, `lock` held: adds `count` frames of this buffer to `mix`.
    void MixInto(float* mix, unsigned count);
    template <int Bits, int Channels, bool Resample>
    void MixRun(float* mix, unsigned count);

    AudioMixer* mixer = nullptr;
    SpinLock lock;
    // Playing; read without the lock so that the mixer skips idle buffers cheaply.
    std::atomic<bool> active{false};

    // Fixed while the buffer is in use.
    unsigned flags = 0;
    unsigned bytes = 0;
    unsigned frames = 0;
    std::uint64_t step = 0; // source frames per output frame, 32.32 fixed point
    WaveFormat format;
    std::vector<std::uint8_t> data;

    // Shared with the audio thread, under `lock`.
    bool inUse = false;
    bool playing = false;
    bool looping = false;
    bool lost = false;
    std::uint64_t position = 0; // in frames, 32.32 fixed point
    int volume = 0;
    int pan = 0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
};

// A source of sound mixed after the buffers (the music synthesiser).
class MixerStream {
public:
    virtual ~MixerStream() = default;
    // Audio thread: adds `count` stereo frames to `mix` (full scale ±32768).
    virtual void Mix(float* mix, unsigned count) = 0;
};

class AudioMixer : public platform::AudioSource {
public:
    static constexpr unsigned BlockFrames = 512;

    AudioMixer();
    ~AudioMixer() override;
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    // A buffer of `bytes` bytes in `format`, silent, cursor at 0, full volume, centred.
    // BadFormat for anything but 8- or 16-bit PCM in one or two channels at 100 to
    // 200,000 Hz with a consistent block size and byte rate; InvalidParam for a size outside
    // 4 bytes to 256 MB.
    std::int32_t CreateBuffer(unsigned flags, unsigned bytes, const WaveFormat& format,
                              SoundBuffer** out);
    void Release(SoundBuffer* buffer);
    // Buffers in use.
    unsigned BufferCount() const { return inUseCount; }

    void Add(MixerStream* stream);
    void Remove(MixerStream* stream);

    // The output that pulls this mixer (it detaches itself when it closes).
    void Attach(platform::AudioOutput* output) { attached = output; }
    platform::AudioOutput* Output() const { return attached; }
    // Lets the output catch up with its clock; every change goes through here first.
    void Sync();
    // Every buffer loses its memory: it stops and reports the loss until restored.
    void LoseBuffers();

    void Render(std::int16_t* out, unsigned frames) override;
    void Detached(platform::AudioOutput&) override { attached = nullptr; }
    void DeviceLost() override { LoseBuffers(); }

private:
    static constexpr unsigned ChunkBuffers = 64;
    static constexpr unsigned MaxChunks = 1024;
    struct Chunk {
        SoundBuffer buffers[ChunkBuffers];
    };

    template <class F>
    void ForEachInUse(F f);

    std::unique_ptr<std::atomic<Chunk*>[]> chunks;
    std::atomic<unsigned> chunkCount{0};
    std::vector<SoundBuffer*> unused;
    unsigned inUseCount = 0;
    SpinLock streamLock;
    std::vector<MixerStream*> streams;
    platform::AudioOutput* attached = nullptr;
    std::vector<float> mix;
};

} // namespace kiv
