#include "platform/sdl/SdlAudio.h"

#include <SDL.h>

#include <dlfcn.h>

namespace {

// Says nothing: see QuietAlsa.
extern "C" void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA writes its complaints (no sound card, devices it does not know) straight to standard
// error while SDL looks for an output; the game then plays silently and the terminal stays
// for the game's own messages. SDL loads the same library, so the handler holds for it.
void QuietAlsa() {
    static bool done = false;
    if (done)
        return;
    done = true;
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(IgnoreAlsaError);
}

} // namespace

namespace kiv::platform::sdl {

SdlAudio::~SdlAudio() {
    Close();
}

bool SdlAudio::Open(AudioSource& s) {
    Close();
    QuietAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{};
        want.freq = AudioRate;
        want.format = AUDIO_S16SYS;
        want.channels = AudioChannels;
        want.samples = 1024; // about 23 ms a period
        want.callback = Pull;
        want.userdata = this;
        source = &s;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the device wants.
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device != 0) {
            SDL_PauseAudioDevice(device, 0);
            return true;
        }
        source = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    return silent.Open(s);
}

void SdlAudio::Close() {
    if (device != 0) {
        // SDL_Quit may have closed the device already.
        if (SDL_WasInit(SDL_INIT_AUDIO)) {
            SDL_CloseAudioDevice(device); // returns once the audio thread has stopped
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        device = 0;
        AudioSource* was = source;
        source = nullptr;
        if (was)
            was->Detached(*this);
    }
    silent.Close();
}

void SdlAudio::Pause(bool paused) {
    if (device != 0)
        SDL_PauseAudioDevice(device, paused ? 1 : 0);
    else
        silent.Pause(paused);
}

void SdlAudio::Update() {
    if (device == 0)
        silent.Update();
}

void SdlAudio::Pull(void* self, std::uint8_t* stream, int bytes) {
    auto* audio = static_cast<SdlAudio*>(self);
    unsigned frames = static_cast<unsigned>(bytes) / (2 * AudioChannels);
    audio->source->Render(reinterpret_cast<std::int16_t*>(stream), frames);
}

} // namespace kiv::platform::sdl
