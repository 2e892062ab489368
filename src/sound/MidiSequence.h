#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kiv {

// Music time counts 768 ticks a quarter note, whatever the resolution of the file.
constexpr long MusicTicksPerQuarter = 768;
// Microseconds a quarter note lasts until a file sets its tempo: 120 quarter notes a minute.
constexpr std::uint32_t DefaultTempo = 500000;

struct MidiEvent {
    enum : std::uint8_t { SysEx = 0xF0, Tempo = 0xFF };

    std::uint32_t tick;
    std::uint8_t status; // a channel message's status byte, SysEx or Tempo
    std::uint8_t data1;
    std::uint8_t data2;
    std::uint32_t value;  // Tempo: microseconds a quarter note; SysEx: offset of its bytes
    std::uint32_t length; // SysEx: byte count
};

// The events of a Standard MIDI File (format 0 or 1), all tracks merged in time order.
class MidiSequence {
public:
    // False when the bytes are not a Standard MIDI File this player can play: no header, a
    // chunk or an event cut short, a data byte without a status, an unknown message, a
    // format other than 0 and 1, no track, or a resolution of 0.
    bool Parse(const unsigned char* bytes, std::size_t size);

    const std::vector<MidiEvent>& Events() const { return events; }
    const std::uint8_t* SysExData(const MidiEvent& e) const { return sysex.data() + e.value; }
    // Where the last track ends, in ticks of the file.
    std::uint32_t Length() const { return length; }
    // Output frames a tick lasts at the given tempo (the tempo does not matter for files
    // timed in frames of SMPTE time code).
    double FramesPerTick(std::uint32_t microsecondsPerQuarter) const;
    long MusicTime(double tick) const;
    double TickAt(long musicTime) const;

private:
    bool ParseTrack(const unsigned char* p, std::size_t size);

    std::vector<MidiEvent> events;
    std::vector<std::uint8_t> sysex;
    std::uint32_t length = 0;
    int ticksPerQuarter = 0;   // for files timed in quarter notes
    double ticksPerSecond = 0; // for files timed in SMPTE frames
};

} // namespace kiv
