#pragma once

#include "platform/FileInstanceLock.h"
#include "platform/InputScript.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessPresenter.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/RecordedDialogs.h"
#include "platform/headless/ScriptedInput.h"
#include "platform/headless/ScriptedMouse.h"
#include "platform/headless/VirtualClock.h"

#include <string>

namespace kiv::platform::headless {

// The deterministic backend: virtual time, recorded dialogs, frames kept in memory, input
// and window events from a script.
class HeadlessPlatform : public Platform {
public:
    const char* Name() const override { return "headless"; }
    Clock& GetClock() override { return clock; }
    Dialogs& GetDialogs() override { return dialogs; }
    InstanceLock& GetInstanceLock() override { return lock; }
    Window& GetWindow() override { return window; }
    Presenter& GetPresenter() override { return presenter; }
    InputSource& GetInput() override { return input; }
    MouseSource& GetMouse() override { return mouse; }
    AudioOutput& GetAudio() override { return audio; }
    // Releases the scripted events of frames up to `nextFrame`.
    void StartPass(std::uint32_t nextFrame) override;

    InputScript* GetScript() override { return &script; }
    // Reads an input script (see platform/InputScript.h); false when it cannot be read.
    bool LoadScript(const char* path) { return script.Load(path); }
    // The same, from text.
    void ReadScript(const std::string& text) { script.Read(text); }

    VirtualClock clock;
    RecordedDialogs dialogs;
    FileInstanceLock lock;
    HeadlessWindow window;
    HeadlessPresenter presenter;
    ScriptedInput input;
    ScriptedMouse mouse;
    HeadlessAudio audio{clock};

private:
    InputScript script;
};

// Makes a fresh headless backend current and returns it.
HeadlessPlatform& Install();

} // namespace kiv::platform::headless
