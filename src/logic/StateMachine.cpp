#include <kiv/logic/StateMachine.h>

Edge::Edge(int to, bool (*condition)(void*), bool always)
    : Edge(to, condition, always, false, 255, 2, -1, -1) {}

Edge::Edge(int to, bool (*condition)(void*), bool always, bool keepMoving, unsigned char key,
           unsigned int tolerance, int station, int kind)
    : m_To(to), m_Kind(kind), m_Station(station), m_Condition(condition), m_Always(always),
      m_KeepMoving(keepMoving), m_Key(key), m_Tolerance(tolerance) {}

State::State(void (*function)(int, void*), StateMachine* subMachine)
    : m_Function(function), m_SubMachine(subMachine), m_Smooth(0), m_Key(255), m_Stop(false),
      m_Kind(-1), m_Station(-1) {}

State::State(void (*function)(int, void*), unsigned int smooth, unsigned char key, int station,
             bool stop, int kind)
    : m_Function(function), m_SubMachine(nullptr), m_Smooth(smooth), m_Key(key), m_Stop(stop),
      m_Kind(kind), m_Station(station) {}

StateMachine::StateMachine() : m_StartingState(0) {}

StateMachine::~StateMachine() = default;

bool StateMachine::SetStartingState(int i) {
    if (i < 0 || i >= GetNumberOfStates())
        return false;
    m_StartingState = i;
    return true;
}
