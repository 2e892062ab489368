#include "platform/Audio.h"

#include <fluidsynth.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace kiv::platform {

namespace {

// FluidSynth tells of every sound font it scans and every setting it adjusts; only its
// errors are worth showing.
void QuietLogs() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

class FluidSynth : public MidiSynth {
public:
    ~FluidSynth() override {
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }

    bool Start(const std::string& font) {
        settings = new_fluid_settings();
        if (!settings)
            return false;
        fluid_settings_setnum(settings, "synth.sample-rate", AudioRate);
        // Every call is serialised by the caller; the synthesiser's own lock would only be
        // taken twice.
        fluid_settings_setint(settings, "synth.threadsafe-api", 0);
        fluid_settings_setint(settings, "synth.cpu-cores", 1);
        fluid_settings_setnum(settings, "synth.gain", 0.5);
        synth = new_fluid_synth(settings);
        return synth && fluid_synth_sfload(synth, font.c_str(), 1) != FLUID_FAILED;
    }

    void Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override {
        int channel = status & 0x0F;
        switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, data1);
            break;
        case 0x90:
            if (data2 == 0)
                fluid_synth_noteoff(synth, channel, data1);
            else
                fluid_synth_noteon(synth, channel, data1, data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, channel, data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7));
            break;
        default:
            break;
        }
    }

    void SystemExclusive(const std::uint8_t* data, std::size_t size) override {
        if (size > 0 && size < 0x10000)
            fluid_synth_sysex(synth, reinterpret_cast<const char*>(data), static_cast<int>(size),
                              nullptr, nullptr, nullptr, 0);
    }

    void AllSoundsOff() override { fluid_synth_all_sounds_off(synth, -1); }

    void Reset() override {
        fluid_synth_all_sounds_off(synth, -1);
        fluid_synth_system_reset(synth);
    }

    bool Sounding() override { return fluid_synth_get_active_voice_count(synth) > 0; }

    void Render(float* out, unsigned frames) override {
        fluid_synth_write_float(synth, static_cast<int>(frames), out, 0, 2, out, 1, 2);
    }

private:
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
};

} // namespace

std::string SoundFontPath() {
    if (const char* chosen = std::getenv("KIV_SOUNDFONT"); chosen && *chosen)
        return chosen;
    return "/usr/share/sounds/sf2/TimGM6mb.sf2";
}

std::unique_ptr<MidiSynth> CreateMidiSynth() {
    std::string font = SoundFontPath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(font, ec))
        return nullptr;
    QuietLogs();
    auto synth = std::make_unique<FluidSynth>();
    if (!synth->Start(font))
        return nullptr;
    return synth;
}

} // namespace kiv::platform
