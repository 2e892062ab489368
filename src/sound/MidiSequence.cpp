#include "sound/MidiSequence.h"

#include "platform/Audio.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kiv {

namespace {

// Ticks beyond this are not music; they would also lose precision as doubles of frames.
constexpr std::uint64_t MaxTick = 0x7FFFFFFF;

std::uint32_t Be32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::uint16_t Be16(const unsigned char* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

// Reads a variable-length quantity (at most four bytes) at p[at], moving `at` past it.
bool ReadVarLen(const unsigned char* p, std::size_t size, std::size_t& at, std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= size)
            return false;
        unsigned char b = p[at++];
        out = (out << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return false;
}

} // namespace

bool MidiSequence::Parse(const unsigned char* p, std::size_t size) {
    events.clear();
    sysex.clear();
    length = 0;
    ticksPerQuarter = 0;
    ticksPerSecond = 0;
    if (!p || size < 14 || std::memcmp(p, "MThd", 4) != 0)
        return false;
    std::uint32_t headerSize = Be32(p + 4);
    if (headerSize < 6 || headerSize > size - 8)
        return false;
    std::uint16_t format = Be16(p + 8);
    std::uint16_t trackCount = Be16(p + 10);
    std::uint16_t division = Be16(p + 12);
    if (format > 1 || trackCount == 0)
        return false;
    if (division & 0x8000) {
        int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        int ticksPerFrame = division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0)
            return false;
        // 29 stands for 29.97 frames a second (drop-frame time code).
        double fps = framesPerSecond == 29 ? 29.97 : framesPerSecond;
        ticksPerSecond = fps * ticksPerFrame;
    } else {
        if (division == 0)
            return false;
        ticksPerQuarter = division;
    }

    std::size_t at = 8 + headerSize;
    int tracks = 0;
    while (tracks < trackCount && at + 8 <= size) {
        std::uint32_t chunkSize = Be32(p + at + 4);
        if (chunkSize > size - at - 8)
            return false; // cut short
        if (std::memcmp(p + at, "MTrk", 4) == 0) {
            if (!ParseTrack(p + at + 8, chunkSize))
                return false;
            ++tracks;
        }
        at += 8 + static_cast<std::size_t>(chunkSize);
    }
    if (tracks == 0)
        return false;
    // Tracks were read one after the other: a stable sort keeps, at equal times, the order of
    // the tracks and of the events within each.
    std::stable_sort(events.begin(), events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    return true;
}

bool MidiSequence::ParseTrack(const unsigned char* p, std::size_t size) {
    std::size_t at = 0;
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (at < size) {
        std::uint32_t delta;
        if (!ReadVarLen(p, size, at, delta))
            return false;
        tick += delta;
        if (tick > MaxTick || at >= size)
            return false;
        std::uint8_t status = p[at];
        if (status & 0x80) {
            ++at;
        } else if (running) {
            status = running;
        } else {
            return false; // data without a status
        }
        auto t = static_cast<std::uint32_t>(tick);

        if (status == 0xFF) { // meta event
            if (at >= size)
                return false;
            std::uint8_t type = p[at++];
            std::uint32_t n;
            if (!ReadVarLen(p, size, at, n) || n > size - at)
                return false;
            if (type == 0x2F) { // end of track
                length = std::max(length, t);
                return true;
            }
            if (type == 0x51 && n >= 3) {
                std::uint32_t tempo = (p[at] << 16) | (p[at + 1] << 8) | p[at + 2];
                if (tempo > 0)
                    events.push_back({t, MidiEvent::Tempo, 0, 0, tempo, 0});
            }
            at += n;
        } else if (status == 0xF0 || status == 0xF7) { // system exclusive, or an escape
            std::uint32_t n;
            if (!ReadVarLen(p, size, at, n) || n > size - at)
                return false;
            if (status == 0xF0) {
                std::uint32_t body = n > 0 && p[at + n - 1] == 0xF7 ? n - 1 : n;
                events.push_back(
                    {t, MidiEvent::SysEx, 0, 0, static_cast<std::uint32_t>(sysex.size()), body});
                sysex.insert(sysex.end(), p + at, p + at + body);
            }
            at += n;
        } else if (status >= 0xF0) {
            return false; // real-time and common messages have no place in a file
        } else {
            running = status;
            int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2; // program, channel pressure
            if (static_cast<std::size_t>(dataBytes) > size - at)
                return false;
            std::uint8_t d1 = p[at] & 0x7F;
            std::uint8_t d2 = dataBytes == 2 ? p[at + 1] & 0x7F : 0;
            at += static_cast<std::size_t>(dataBytes);
            events.push_back({t, status, d1, d2, 0, 0});
        }
        length = std::max(length, t);
    }
    return true; // a track without its end marker ends with its last event
}

double MidiSequence::FramesPerTick(std::uint32_t tempo) const {
    if (ticksPerQuarter > 0)
        return static_cast<double>(tempo) * platform::AudioRate / 1e6 / ticksPerQuarter;
    return platform::AudioRate / ticksPerSecond;
}

// Files timed in SMPTE frames count music time as if at 120 quarter notes a minute.
long MidiSequence::MusicTime(double tick) const {
    if (ticksPerQuarter > 0)
        return static_cast<long>(std::floor(tick * MusicTicksPerQuarter / ticksPerQuarter + 1e-9));
    return static_cast<long>(
        std::floor(tick / ticksPerSecond * 1e6 / DefaultTempo * MusicTicksPerQuarter + 1e-9));
}

double MidiSequence::TickAt(long musicTime) const {
    if (ticksPerQuarter > 0)
        return static_cast<double>(musicTime) * ticksPerQuarter / MusicTicksPerQuarter;
    return static_cast<double>(musicTime) / MusicTicksPerQuarter * DefaultTempo / 1e6 *
           ticksPerSecond;
}

} // namespace kiv
