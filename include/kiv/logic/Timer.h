#pragma once

#include <kiv/Export.h>

class File;

typedef void (*BehaviorFunction)(void* object);

enum TimerUnit { Frames = 0, Milliseconds = 1 };
enum TimerMode { Once = 0, Periodic = 1 };

// Counts frames and calls its function when they run out, once or again and again.
class KIV_API Timer {
public:
    Timer();
    Timer(void (*function)(void*), unsigned int delay, TimerUnit unit, bool running,
          TimerMode mode);

    // Converts a delay in milliseconds into frames of the current level's frame rate.
    void Init();
    // Loads a new delay (converted like Init) and mode; running or not stays as it is.
    void Reset(unsigned int delay, TimerMode mode);
    // One frame.
    void Tick(void* object);

    void Start() { m_Running = true; }
    void Stop() { m_Running = false; }
    bool IsRunning() const { return m_Running; }
    unsigned int TimeRemaining() const { return m_Remaining; }
    void SetMode(TimerMode mode) { m_Mode = mode; }
    TimerMode GetMode() const { return m_Mode; }

    void Save(File& file);
    void Load(File& file);

    bool m_Running;
    TimerUnit m_Unit;
    unsigned int m_Remaining;
    unsigned int m_Reload;
    TimerMode m_Mode;
    BehaviorFunction m_Function;
};
