#include "platform/headless/HeadlessWindow.h"

namespace kiv::platform::headless {

bool HeadlessWindow::Create(const WindowSpec& s) {
    if (refuseCreation)
        return false;
    shape = s;
    title = s.title ? s.title : "";
    windowed = s.windowed;
    exists = true;
    visible = true;
    return true;
}

bool HeadlessWindow::PollEvent(WindowEvent& event) {
    if (events.empty())
        return false;
    event = events.front();
    events.pop_front();
    return true;
}

} // namespace kiv::platform::headless
