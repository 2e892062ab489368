#pragma once

namespace kiv {

// The host's message queue: window events as they arrive, and the quit message that the
// window's destruction posts.
struct WindowMessage {
    enum Kind { SetFocus, KillFocus, Paint, Minimize, Close, Destroy, Quit } kind;
    int exitCode = 0;
};

// Takes one message; false when none is waiting.
bool PeekMessage(WindowMessage& message);
void PostQuitMessage(int exitCode);
// Handles one message as the game window's procedure.
void WindowProc(const WindowMessage& message);
// Destroys the game window; its Destroy message posts the quit message.
void DestroyMainWindow();
// Forgets queued messages (a new run of KivMain starts with an empty queue).
void ClearMessages();

} // namespace kiv
