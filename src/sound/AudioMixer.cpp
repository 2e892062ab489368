#include "sound/AudioMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

namespace kiv {

namespace {

constexpr std::uint16_t PcmTag = 1;
constexpr std::uint16_t ExtensibleTag = 0xFFFE;
// The sub-format that marks an extensible format as plain PCM, from its third byte on.
constexpr std::uint8_t PcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// What a restored buffer holds until it is written again.
constexpr std::uint8_t RestoredByte = 0x5A;

bool IsPcm(const WaveFormat& f) {
    if (f.formatTag == PcmTag)
        return true;
    // The extensible block: valid bits, channel mask, then the sub-format's identifier.
    return f.formatTag == ExtensibleTag && f.extra.size() >= 22 && f.extra[6] == 1 &&
           f.extra[7] == 0 && std::memcmp(&f.extra[8], PcmGuidTail, sizeof PcmGuidTail) == 0;
}

bool Playable(const WaveFormat& f) {
    return IsPcm(f) && (f.channels == 1 || f.channels == 2) &&
           (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
           f.blockAlign == f.channels * f.bitsPerSample / 8 && f.samplesPerSec >= ds::MinRate &&
           f.samplesPerSec <= ds::MaxRate &&
           f.avgBytesPerSec == static_cast<std::uint64_t>(f.samplesPerSec) * f.blockAlign;
}

template <int Bits, int Channels>
inline float SampleAt(const std::uint8_t* d, unsigned frame, int channel) {
    unsigned i = frame * Channels + static_cast<unsigned>(channel);
    if constexpr (Bits == 8) {
        return static_cast<float>((d[i] - 128) * 256);
    } else {
        return static_cast<float>(static_cast<std::int16_t>(d[2 * i] | (d[2 * i + 1] << 8)));
    }
}

} // namespace

float GainOf(int level) {
    if (level <= ds::VolumeMin)
        return 0.0f;
    if (level >= 0)
        return 1.0f;
    return static_cast<float>(std::pow(10.0, level / 2000.0));
}

void SpinLock::lock() {
    for (int tries = 0; flag.test_and_set(std::memory_order_acquire); ++tries)
        if (tries > 64)
            std::this_thread::yield();
}

// ---- SoundBuffer, game thread ----

std::int32_t SoundBuffer::Lock(unsigned offset, unsigned count, std::uint8_t** first,
                               unsigned* firstBytes, std::uint8_t** second, unsigned* secondBytes) {
    mixer->Sync();
    if (!first || !firstBytes || offset >= bytes || count == 0 || count > bytes)
        return ds::InvalidParam;
    {
        std::lock_guard<SpinLock> hold(lock);
        if (lost)
            return ds::BufferLost;
    }
    unsigned head = std::min(count, bytes - offset);
    *first = data.data() + offset;
    *firstBytes = head;
    if (second)
        *second = head < count ? data.data() : nullptr;
    if (secondBytes)
        *secondBytes = count - head;
    return ds::Ok;
}

std::int32_t SoundBuffer::Unlock() {
    return ds::Ok;
}

std::int32_t SoundBuffer::Play(unsigned playFlags) {
    mixer->Sync();
    std::lock_guard<SpinLock> hold(lock);
    if (lost)
        return ds::BufferLost;
    playing = true;
    looping = (playFlags & ds::PlayLooping) != 0;
    active.store(true, std::memory_order_relaxed);
    return ds::Ok;
}

std::int32_t SoundBuffer::Stop() {
    mixer->Sync();
    std::lock_guard<SpinLock> hold(lock);
    playing = false;
    active.store(false, std::memory_order_relaxed);
    return ds::Ok;
}

std::int32_t SoundBuffer::GetCurrentPosition(unsigned* play, unsigned* write) {
    mixer->Sync();
    std::lock_guard<SpinLock> hold(lock);
    unsigned cursor = static_cast<unsigned>(position >> 32) * format.blockAlign;
    if (play)
        *play = cursor;
    if (write)
        *write = cursor;
    return ds::Ok;
}

std::int32_t SoundBuffer::SetCurrentPosition(unsigned at) {
    mixer->Sync();
    if (at >= bytes)
        return ds::InvalidParam;
    std::lock_guard<SpinLock> hold(lock);
    position = static_cast<std::uint64_t>(at / format.blockAlign) << 32;
    return ds::Ok;
}

std::int32_t SoundBuffer::GetStatus(unsigned* status) {
    if (!status)
        return ds::InvalidParam;
    mixer->Sync();
    std::lock_guard<SpinLock> hold(lock);
    *status = (playing ? ds::StatusPlaying : 0u) | (playing && looping ? ds::StatusLooping : 0u) |
              (lost ? ds::StatusBufferLost : 0u);
    return ds::Ok;
}

std::int32_t SoundBuffer::SetVolume(int v) {
    if (!(flags & ds::CapsControlVolume))
        return ds::ControlUnavailable;
    if (v < ds::VolumeMin || v > ds::VolumeMax)
        return ds::InvalidParam;
    mixer->Sync();
    std::lock_guard<SpinLock> hold(lock);
    volume = v;
    SetGains();
    return ds::Ok;
}

std::int32_t SoundBuffer::SetPan(int p) {
    if (!(flags & ds::CapsControlPan))
        return ds::ControlUnavailable;
    if (p < ds::PanLeft || p > ds::PanRight)
        return ds::InvalidParam;
    mixer->Sync();
    std::lock_guard<SpinLock> hold(lock);
    pan = p;
    SetGains();
    return ds::Ok;
}

std::int32_t SoundBuffer::GetVolume(int* v) {
    if (!v)
        return ds::InvalidParam;
    if (!(flags & ds::CapsControlVolume))
        return ds::ControlUnavailable;
    std::lock_guard<SpinLock> hold(lock);
    *v = volume;
    return ds::Ok;
}

std::int32_t SoundBuffer::GetPan(int* p) {
    if (!p)
        return ds::InvalidParam;
    if (!(flags & ds::CapsControlPan))
        return ds::ControlUnavailable;
    std::lock_guard<SpinLock> hold(lock);
    *p = pan;
    return ds::Ok;
}

std::int32_t SoundBuffer::Restore() {
    mixer->Sync();
    bool wasLost;
    {
        std::lock_guard<SpinLock> hold(lock);
        wasLost = lost;
        lost = false;
    }
    // The memory comes back with whatever it holds; the owner must write it again.
    if (wasLost)
        std::fill(data.begin(), data.end(), RestoredByte);
    return ds::Ok;
}

// The side opposite the pan is attenuated by the pan's amount, as volume attenuates both.
void SoundBuffer::SetGains() {
    float base = GainOf(volume);
    gainLeft = pan > 0 ? base * GainOf(-pan) : base;
    gainRight = pan < 0 ? base * GainOf(pan) : base;
}

// ---- SoundBuffer, audio thread ----

void SoundBuffer::MixInto(float* out, unsigned count) {
    bool resample = step != (std::uint64_t{1} << 32);
    int kind =
        (format.bitsPerSample == 16 ? 4 : 0) + (format.channels == 2 ? 2 : 0) + (resample ? 1 : 0);
    switch (kind) {
    case 0:
        MixRun<8, 1, false>(out, count);
        break;
    case 1:
        MixRun<8, 1, true>(out, count);
        break;
    case 2:
        MixRun<8, 2, false>(out, count);
        break;
    case 3:
        MixRun<8, 2, true>(out, count);
        break;
    case 4:
        MixRun<16, 1, false>(out, count);
        break;
    case 5:
        MixRun<16, 1, true>(out, count);
        break;
    case 6:
        MixRun<16, 2, false>(out, count);
        break;
    default:
        MixRun<16, 2, true>(out, count);
        break;
    }
}

// Linear interpolation between neighbouring source frames; past the last frame comes the
// first one when looping, else the last one again.
template <int Bits, int Channels, bool Resample>
void SoundBuffer::MixRun(float* out, unsigned count) {
    const std::uint8_t* d = data.data();
    const std::uint64_t end = static_cast<std::uint64_t>(frames) << 32;
    const float gl = gainLeft, gr = gainRight;
    unsigned i = 0;
    while (i < count) {
        // Output frames until the cursor passes the last source frame.
        std::uint64_t untilEnd = (end - position + step - 1) / step;
        unsigned run = static_cast<unsigned>(std::min<std::uint64_t>(count - i, untilEnd));
        for (unsigned k = 0; k < run; ++k, ++i) {
            unsigned at = static_cast<unsigned>(position >> 32);
            float left, right;
            if constexpr (Resample) {
                unsigned next = at + 1 < frames ? at + 1 : (looping ? 0 : at);
                float t = static_cast<float>(static_cast<std::uint32_t>(position)) *
                          (1.0f / 4294967296.0f);
                float l0 = SampleAt<Bits, Channels>(d, at, 0);
                left = l0 + (SampleAt<Bits, Channels>(d, next, 0) - l0) * t;
                if constexpr (Channels == 2) {
                    float r0 = SampleAt<Bits, Channels>(d, at, 1);
                    right = r0 + (SampleAt<Bits, Channels>(d, next, 1) - r0) * t;
                } else {
                    right = left;
                }
            } else {
                left = SampleAt<Bits, Channels>(d, at, 0);
                right = Channels == 2 ? SampleAt<Bits, Channels>(d, at, 1) : left;
            }
            out[2 * i] += left * gl;
            out[2 * i + 1] += right * gr;
            position += step;
        }
        if (position >= end) {
            if (looping) {
                position %= end;
            } else {
                // A buffer that played to its end stops with its cursor back at the start.
                playing = false;
                active.store(false, std::memory_order_relaxed);
                position = 0;
                return;
            }
        }
    }
}

// ---- AudioMixer ----

AudioMixer::AudioMixer() : chunks(new std::atomic<Chunk*>[MaxChunks]), mix(2 * BlockFrames) {
    for (unsigned i = 0; i < MaxChunks; ++i)
        chunks[i].store(nullptr, std::memory_order_relaxed);
    unused.reserve(ChunkBuffers);
    streams.reserve(16);
}

AudioMixer::~AudioMixer() {
    if (attached)
        attached->Close();
    for (unsigned i = 0; i < chunkCount.load(); ++i)
        delete chunks[i].load();
}

void AudioMixer::Sync() {
    if (attached)
        attached->Update();
}

std::int32_t AudioMixer::CreateBuffer(unsigned flags, unsigned bytes, const WaveFormat& format,
                                      SoundBuffer** out) {
    if (!out)
        return ds::InvalidParam;
    *out = nullptr;
    if (!Playable(format))
        return ds::BadFormat;
    if (bytes < ds::MinBufferBytes || bytes > ds::MaxBufferBytes)
        return ds::InvalidParam;

    std::vector<std::uint8_t> memory;
    try {
        memory.assign(bytes, 0);
        if (unused.empty()) {
            unsigned count = chunkCount.load(std::memory_order_relaxed);
            if (count == MaxChunks)
                return ds::OutOfMemory;
            Chunk* chunk = new Chunk;
            for (unsigned i = ChunkBuffers; i-- > 0;) {
                chunk->buffers[i].mixer = this;
                unused.push_back(&chunk->buffers[i]);
            }
            chunks[count].store(chunk, std::memory_order_release);
            chunkCount.store(count + 1, std::memory_order_release);
        }
    } catch (const std::bad_alloc&) {
        return ds::OutOfMemory;
    }

    SoundBuffer* b = unused.back();
    unused.pop_back();
    ++inUseCount;
    std::lock_guard<SpinLock> hold(b->lock);
    b->flags = flags;
    b->bytes = bytes;
    b->format = format;
    b->frames = bytes / format.blockAlign;
    b->step = (static_cast<std::uint64_t>(format.samplesPerSec) << 32) / platform::AudioRate;
    b->data.swap(memory);
    b->inUse = true;
    b->playing = b->looping = b->lost = false;
    b->active.store(false, std::memory_order_relaxed);
    b->position = 0;
    b->volume = b->pan = 0;
    b->SetGains();
    *out = b;
    return ds::Ok;
}

void AudioMixer::Release(SoundBuffer* b) {
    if (!b)
        return;
    Sync();
    std::vector<std::uint8_t> memory; // freed here, once the audio thread can't be using it
    {
        std::lock_guard<SpinLock> hold(b->lock);
        if (!b->inUse)
            return;
        b->inUse = b->playing = false;
        b->active.store(false, std::memory_order_relaxed);
        memory.swap(b->data);
    }
    unused.push_back(b);
    --inUseCount;
}

template <class F>
void AudioMixer::ForEachInUse(F f) {
    unsigned count = chunkCount.load(std::memory_order_acquire);
    for (unsigned c = 0; c < count; ++c) {
        Chunk* chunk = chunks[c].load(std::memory_order_acquire);
        for (SoundBuffer& b : chunk->buffers)
            f(b);
    }
}

void AudioMixer::LoseBuffers() {
    Sync();
    ForEachInUse([](SoundBuffer& b) {
        std::lock_guard<SpinLock> hold(b.lock);
        if (!b.inUse)
            return;
        b.lost = true;
        b.playing = false;
        b.active.store(false, std::memory_order_relaxed);
    });
}

void AudioMixer::Add(MixerStream* stream) {
    if (!stream)
        return;
    Sync();
    std::lock_guard<SpinLock> hold(streamLock);
    if (std::find(streams.begin(), streams.end(), stream) == streams.end())
        streams.push_back(stream);
}

void AudioMixer::Remove(MixerStream* stream) {
    Sync();
    std::lock_guard<SpinLock> hold(streamLock);
    streams.erase(std::remove(streams.begin(), streams.end(), stream), streams.end());
}

void AudioMixer::Render(std::int16_t* out, unsigned frames) {
    while (frames > 0) {
        unsigned n = std::min(frames, BlockFrames);
        float* acc = mix.data();
        std::fill(acc, acc + 2 * n, 0.0f);
        ForEachInUse([acc, n](SoundBuffer& b) {
            if (!b.active.load(std::memory_order_relaxed))
                return;
            std::lock_guard<SpinLock> hold(b.lock);
            if (b.inUse && b.playing)
                b.MixInto(acc, n);
        });
        {
            std::lock_guard<SpinLock> hold(streamLock);
            for (MixerStream* s : streams)
                s->Mix(acc, n);
        }
        for (unsigned i = 0; i < 2 * n; ++i) {
            float v = std::clamp(acc[i], -32768.0f, 32767.0f);
            out[i] = static_cast<std::int16_t>(std::lrint(v));
        }
        out += 2 * n;
        frames -= n;
    }
}

} // namespace kiv
