#include "platform/headless/HeadlessPlatform.h"

namespace kiv::platform::headless {

HeadlessPlatform& Install() {
    return static_cast<HeadlessPlatform&>(platform::Install(std::make_unique<HeadlessPlatform>()));
}

void HeadlessPlatform::StartPass(std::uint32_t nextFrame) {
    script.Release(nextFrame, [this](const InputScript::Event& e) {
        switch (e.kind) {
        case InputScript::Event::Key:
            input.Push(e.key);
            break;
        case InputScript::Event::Window:
            window.Push(e.window);
            break;
        case InputScript::Event::Locks:
            input.SetLocks(e.caps, e.num);
            break;
        case InputScript::Event::Mouse:
            mouse.Push(e.mouse);
            break;
        case InputScript::Event::Dialog:
            dialogs.QueueDialogAnswer(e.answer);
            break;
        }
    });
}

} // namespace kiv::platform::headless
