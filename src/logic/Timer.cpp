#include <kiv/data/Builders.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/logic/Timer.h>

#include "logic/TableIndex.h"

namespace {

// Frames in `delay` milliseconds at the current level's rate. Before any level runs (timers
// of the game's own behavior are made while the game file is read) a new level's 60 frames
// per second stand in.
unsigned int FramesIn(unsigned int delay) {
    unsigned int rate = gNode ? gNode->TargetFPS() : 60;
    return static_cast<unsigned int>(delay * static_cast<double>(rate) * 0.001);
}

} // namespace

Timer::Timer() : Timer(nullptr, 0, Frames, true, Periodic) {}

Timer::Timer(void (*function)(void*), unsigned int delay, TimerUnit unit, bool running,
             TimerMode mode)
    : m_Running(running), m_Unit(unit), m_Remaining(delay), m_Reload(delay), m_Mode(mode),
      m_Function(function) {}

void Timer::Init() {
    if (m_Unit == Milliseconds)
        m_Remaining = m_Reload = FramesIn(m_Remaining);
}

void Timer::Reset(unsigned int delay, TimerMode mode) {
    m_Remaining = m_Reload = m_Unit == Milliseconds ? FramesIn(delay) : delay;
    m_Mode = mode;
}

void Timer::Tick(void* object) {
    if (!m_Running)
        return;
    if (m_Remaining > 0 && --m_Remaining == 0 && m_Function)
        m_Function(object);
    if (m_Mode == Periodic && m_Remaining == 0)
        m_Remaining = m_Reload;
}

void Timer::Save(File& file) {
    file.Write(m_Running);
    file.Write(static_cast<unsigned int>(m_Unit));
    file.Write(m_Remaining);
    file.Write(m_Reload);
    file.Write(static_cast<int>(m_Mode));
    file.Write(kiv::PointerIndex(FArray, maxFIndex, reinterpret_cast<void*>(m_Function)));
}

void Timer::Load(File& file) {
    unsigned int unit = 0;
    int mode = 0, function = -1;
    file.Read(m_Running);
    file.Read(unit);
    file.Read(m_Remaining);
    file.Read(m_Reload);
    file.Read(mode);
    file.Read(function);
    m_Unit = unit == Milliseconds ? Milliseconds : Frames;
    m_Mode = mode == Periodic ? Periodic : Once;
    m_Function = reinterpret_cast<BehaviorFunction>(GetFunction(function));
}
