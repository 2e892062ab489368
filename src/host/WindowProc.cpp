#include "host/WindowProc.h"

#include <kiv/game/GameNode.h>
#include <kiv/host/Host.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/sound/SoundCard.h>

#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"

#include <deque>

namespace kiv {

namespace {

std::deque<WindowMessage> queue;
// Whether the game stood paused (F10) when the window lost the focus: minimising then
// counts as minimising a paused game.
bool pausedBeforeFocusLoss = false;
bool focused = true;

WindowMessage::Kind KindOf(platform::WindowEvent e) {
    switch (e) {
    case platform::WindowEvent::FocusGained:
        return WindowMessage::SetFocus;
    case platform::WindowEvent::FocusLost:
        return WindowMessage::KillFocus;
    case platform::WindowEvent::Minimized:
        return WindowMessage::Minimize;
    case platform::WindowEvent::Exposed:
        return WindowMessage::Paint;
    case platform::WindowEvent::CloseRequested:
        break;
    }
    return WindowMessage::Close;
}

void SetFocus() {
    focused = true;
    platform::Current().GetWindow().InhibitScreenSaver(true);
    if (!MinimizedWhilePaused) {
        GamePaused = false;
        if (gNode)
            SoundCard::Instance().ManageBuffers(true);
    } else {
        MinimizedWhilePaused = false;
    }
    if (pKeyboard)
        pKeyboard->StartReceivingData();
    if (pMouse)
        pMouse->StartReceivingData();
}

void KillFocus() {
    focused = false;
    platform::Current().GetWindow().InhibitScreenSaver(false);
    pausedBeforeFocusLoss = GamePaused;
    GamePaused = true;
    if (gNode)
        SoundCard::Instance().ManageBuffers(false);
    if (pKeyboard)
        pKeyboard->StopReceivingData();
    if (pMouse)
        pMouse->StopReceivingData();
}

} // namespace

bool PeekMessage(WindowMessage& message) {
    platform::WindowEvent e;
    while (platform::Current().GetWindow().PollEvent(e))
        queue.push_back({KindOf(e)});
    if (queue.empty())
        return false;
    message = queue.front();
    queue.pop_front();
    return true;
}

void PostQuitMessage(int exitCode) {
    queue.push_back({WindowMessage::Quit, exitCode});
}

void ClearMessages() {
    queue.clear();
    focused = true;
    pausedBeforeFocusLoss = false;
}

void WindowProc(const WindowMessage& message) {
    switch (message.kind) {
    case WindowMessage::SetFocus:
        SetFocus();
        break;
    case WindowMessage::KillFocus:
        KillFocus();
        break;
    case WindowMessage::Paint:
        PresentBackBuffer();
        break;
    case WindowMessage::Minimize:
        if (focused ? GamePaused : pausedBeforeFocusLoss)
            MinimizedWhilePaused = true;
        break;
    case WindowMessage::Close:
        DestroyMainWindow();
        break;
    case WindowMessage::Destroy:
        PostQuitMessage(0);
        break;
    case WindowMessage::Quit:
        break;
    }
}

void DestroyMainWindow() {
    platform::Current().GetWindow().Destroy();
    WindowProc({WindowMessage::Destroy});
}

} // namespace kiv
