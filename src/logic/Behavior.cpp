#include <kiv/data/Builders.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/logic/Behavior.h>
#include <kiv/logic/StateMachineTraverser.h>

#include "base/Messages.h"

namespace {

CREATE behaviorClass("Behavior", Behavior::CreateObject);
CREATE bnodeClass("Bnode", [] { return static_cast<node*>(new Bnode); });

} // namespace

// ---- Bnode ----

Bnode::Bnode()
    : m_Index(-1), m_Active(false), m_Type(-1), m_Function(nullptr), m_Traverser(nullptr) {}

Bnode::Bnode(const Bnode& other) : node(other), m_Traverser(nullptr) {
    *this = other;
}

Bnode& Bnode::operator=(const Bnode& other) {
    if (&other == this)
        return *this;
    m_Index = other.m_Index;
    m_Active = other.m_Active;
    m_Type = other.m_Type;
    m_Function = other.m_Function;
    m_Timer = other.m_Timer;
    delete m_Traverser;
    m_Traverser = other.m_Traverser ? new StateMachineTraverser(*other.m_Traverser) : nullptr;
    return *this;
}

Bnode::~Bnode() {
    delete m_Traverser;
}

const char* Bnode::ClassName() {
    return "Bnode";
}

void Bnode::Save(File& file) {
    file.Write(m_Index);
    if (m_Index < 0)
        return;
    file.Write(m_Active);
    file.Write(m_Type);
    if (m_Type == StateMachineItem)
        file.Write(static_cast<node*>(m_Traverser));
    else if (m_Type == TimerItem)
        m_Timer.Save(file);
}

void Bnode::Load(File& file) {
    file.Read(m_Index);
    if (m_Index < 0)
        return;
    file.Read(m_Active);
    file.Read(m_Type);
    if (m_Type == FunctionItem) {
        m_Function = reinterpret_cast<BehaviorFunction>(GetFunction(m_Index));
    } else if (m_Type == StateMachineItem) {
        delete m_Traverser;
        m_Traverser = file.ReadOwned<StateMachineTraverser>();
    } else if (m_Type == TimerItem) {
        if (Timer* prototype = GetTimer(m_Index))
            m_Timer = *prototype;
        m_Timer.Load(file);
    }
}

// ---- Behavior ----

// What differs between the three kinds of items: their table, slots and messages.
struct Behavior::Kind {
    int type;
    const int& max;
    std::vector<int> Behavior::*slots;
    int notFound, alreadyAdded, notAdded;
    const char* addText;
    const char* isAddedText;
    const char* setActiveText;
    const char* getActiveText;
};

const Behavior::Kind Behavior::Functions = {
    Bnode::FunctionItem,
    maxFIndex,
    &Behavior::m_FunctionSlots,
    4,
    5,
    11,
    "void Behavior::AddFunction(unsigned int,bool)",
    "bool Behavior::IsFunctionAdded(unsigned int)",
    "void Behavior::FunctionActiveStatus(unsigned int,bool)",
    "bool Behavior::FunctionActiveStatus(unsigned int)"};
const Behavior::Kind Behavior::Machines = {
    Bnode::StateMachineItem,
    maxSMIndex,
    &Behavior::m_MachineSlots,
    2,
    3,
    9,
    "void Behavior::AddStateMachine(unsigned int,bool)",
    "bool Behavior::IsStateMachineAdded(unsigned int)",
    "void Behavior::StateMachineActiveStatus(unsigned int,bool)",
    "bool Behavior::StateMachineActiveStatus(unsigned int)"};
const Behavior::Kind Behavior::Timers = {Bnode::TimerItem,
                                         maxTMIndex,
                                         &Behavior::m_TimerSlots,
                                         6,
                                         7,
                                         10,
                                         "void Behavior::AddTimer(unsigned int,bool)",
                                         "bool Behavior::IsTimerAdded(unsigned int)",
                                         "void Behavior::TimerActiveStatus(unsigned int,bool)",
                                         "bool Behavior::TimerActiveStatus(unsigned int)"};

namespace {

// A slot table holds one entry per index of its game table. Behaviors of objects made before
// the game's tables were filled start short and catch up when they are used or saved.
void Fit(std::vector<int>& slots, int max) {
    if (static_cast<long long>(slots.size()) <= max)
        slots.resize(static_cast<size_t>(max) + 1, -1);
}

// The slot of an index already checked against `max`.
int& Slot(std::vector<int>& slots, int max, unsigned int index) {
    Fit(slots, max);
    return slots[index];
}

bool InTable(unsigned int index, int max) {
    return static_cast<long long>(index) <= max;
}

} // namespace

Behavior::Behavior()
    : m_FunctionSlots(static_cast<size_t>(maxFIndex + 1), -1),
      m_MachineSlots(static_cast<size_t>(maxSMIndex + 1), -1),
      m_TimerSlots(static_cast<size_t>(maxTMIndex + 1), -1), m_Running(false) {}

Behavior::Behavior(const Behavior& other)
    : node(other), m_Items(other.m_Items), m_FunctionSlots(other.m_FunctionSlots),
      m_MachineSlots(other.m_MachineSlots), m_TimerSlots(other.m_TimerSlots), m_Running(false) {}

Behavior& Behavior::operator=(const Behavior& other) {
    if (m_Running) {
        kiv::ReportUserError("Behavior & Behavior::operator=(const Behavior &)", 12);
        return *this;
    }
    if (&other == this)
        return *this;
    m_Items = other.m_Items;
    m_FunctionSlots = other.m_FunctionSlots;
    m_MachineSlots = other.m_MachineSlots;
    m_TimerSlots = other.m_TimerSlots;
    return *this;
}

Behavior::~Behavior() = default;

node* Behavior::CreateObject() {
    return new Behavior;
}

const char* Behavior::ClassName() {
    return "Behavior";
}

void Behavior::Add(const Kind& kind, unsigned int index, bool active) {
    if (!InTable(index, kind.max)) {
        kiv::ReportUserError(kind.addText, kind.notFound, index);
        return;
    }
    int& slot = Slot(this->*kind.slots, kind.max, index);
    if (slot != -1) {
        kiv::ReportUserError(kind.addText, kind.alreadyAdded, index);
        return;
    }
    Bnode item;
    item.m_Index = static_cast<int>(index);
    item.m_Active = active;
    item.m_Type = kind.type;
    if (kind.type == Bnode::FunctionItem) {
        item.m_Function = reinterpret_cast<BehaviorFunction>(GetFunction(static_cast<int>(index)));
    } else if (kind.type == Bnode::StateMachineItem) {
        item.m_Traverser = new StateMachineTraverser(GetStateMachine(static_cast<int>(index)));
    } else if (Timer* prototype = GetTimer(static_cast<int>(index))) {
        item.m_Timer = *prototype;
        item.m_Timer.Init();
    }
    slot = static_cast<int>(m_Items.size());
    m_Items.push_back(std::move(item));
}

void Behavior::AddFunction(unsigned int index, bool active) {
    Add(Functions, index, active);
}
void Behavior::AddStateMachine(unsigned int index, bool active) {
    Add(Machines, index, active);
}
void Behavior::AddTimer(unsigned int index, bool active) {
    Add(Timers, index, active);
}

Bnode* Behavior::Added(const Kind& kind, unsigned int index, const char* function) {
    if (!InTable(index, kind.max)) {
        kiv::ReportUserError(function, kind.notFound, index);
        return nullptr;
    }
    int slot = Slot(this->*kind.slots, kind.max, index);
    if (slot < 0 || slot >= Count()) {
        kiv::ReportUserError(function, kind.notAdded, index);
        return nullptr;
    }
    return &m_Items[static_cast<size_t>(slot)];
}

Bnode* Behavior::Item(int type, unsigned int index) {
    const std::vector<int>& slots = type == Bnode::FunctionItem       ? m_FunctionSlots
                                    : type == Bnode::StateMachineItem ? m_MachineSlots
                                                                      : m_TimerSlots;
    if (index >= slots.size() || slots[index] < 0 || slots[index] >= Count())
        return nullptr;
    return &m_Items[static_cast<size_t>(slots[index])];
}

namespace {

bool IsAdded(Behavior& b, int type, unsigned int index, int max, const char* function,
             int notFound) {
    if (!InTable(index, max)) {
        kiv::ReportUserError(function, notFound, index);
        return false;
    }
    return b.Item(type, index) != nullptr;
}

} // namespace

bool Behavior::IsFunctionAdded(unsigned int index) {
    return IsAdded(*this, Bnode::FunctionItem, index, maxFIndex, Functions.isAddedText, 4);
}
bool Behavior::IsStateMachineAdded(unsigned int index) {
    return IsAdded(*this, Bnode::StateMachineItem, index, maxSMIndex, Machines.isAddedText, 2);
}
bool Behavior::IsTimerAdded(unsigned int index) {
    return IsAdded(*this, Bnode::TimerItem, index, maxTMIndex, Timers.isAddedText, 6);
}

void Behavior::FunctionActiveStatus(unsigned int index, bool active) {
    if (Bnode* item = Added(Functions, index, Functions.setActiveText))
        item->m_Active = active;
}
void Behavior::StateMachineActiveStatus(unsigned int index, bool active) {
    if (Bnode* item = Added(Machines, index, Machines.setActiveText))
        item->m_Active = active;
}
void Behavior::TimerActiveStatus(unsigned int index, bool active) {
    if (Bnode* item = Added(Timers, index, Timers.setActiveText))
        item->m_Active = active;
}
bool Behavior::FunctionActiveStatus(unsigned int index) {
    Bnode* item = Added(Functions, index, Functions.getActiveText);
    return item && item->m_Active;
}
bool Behavior::StateMachineActiveStatus(unsigned int index) {
    Bnode* item = Added(Machines, index, Machines.getActiveText);
    return item && item->m_Active;
}
bool Behavior::TimerActiveStatus(unsigned int index) {
    Bnode* item = Added(Timers, index, Timers.getActiveText);
    return item && item->m_Active;
}

void Behavior::ResetTimer(unsigned int index, unsigned int delay, TimerMode mode) {
    const char* text =
        "void Behavior::ResetTimer(unsigned int index, unsigned int delay, TimerMode mode)";
    if (Bnode* item = Added(Timers, index, text))
        item->m_Timer.Reset(delay, mode);
}

unsigned int Behavior::TimeRemaining(unsigned int index) {
    Bnode* item = Added(Timers, index, "unsigned int Behavior::TimeRemaining(unsigned int index)");
    return item ? item->m_Timer.TimeRemaining() : 0;
}

void Behavior::ChangeState(unsigned int index, unsigned int state) {
    Bnode* item = Added(Machines, index, "void Behavior::ChangeState(unsigned int,unsigned int)");
    if (item && item->m_Traverser)
        item->m_Traverser->SetCurrentState(static_cast<int>(state));
}

int Behavior::GetCurrentState(unsigned int index) {
    Bnode* item = Added(Machines, index, "int Behavior::GetCurrentState(unsigned int index)");
    return item && item->m_Traverser ? item->m_Traverser->GetCurrentState() : -1;
}

void Behavior::Clear() {
    if (m_Running) {
        kiv::ReportUserError("void Behavior::Clear()", 8);
        return;
    }
    m_Items.clear();
    for (auto* slots : {&m_FunctionSlots, &m_MachineSlots, &m_TimerSlots})
        std::fill(slots->begin(), slots->end(), -1);
}

void Behavior::Update(void* object) {
    bool outer = !m_Running; // a function may update its own behavior's owner again
    m_Running = true;
    // The count is read again before every item: items added during the pass run in it too.
    for (size_t i = 0; i < m_Items.size(); ++i) {
        Bnode& item = m_Items[i];
        if (!item.m_Active)
            continue;
        switch (item.m_Type) {
        case Bnode::FunctionItem:
            if (item.m_Function)
                item.m_Function(object);
            break;
        case Bnode::StateMachineItem:
            if (item.m_Traverser)
                item.m_Traverser->Go(object);
            break;
        case Bnode::TimerItem:
            item.m_Timer.Tick(object);
            break;
        }
    }
    if (outer)
        m_Running = false;
}

namespace {

void SaveSlots(File& file, std::vector<int>& slots, int max) {
    Fit(slots, max);
    file.Write(static_cast<unsigned int>(slots.size()));
    for (int s : slots)
        file.Write(s);
}

void LoadSlots(File& file, std::vector<int>& slots) {
    unsigned int n = 0;
    file.Read(n);
    file.Require(static_cast<long>(n) * 4);
    slots.assign(n, -1);
    for (int& s : slots)
        file.Read(s);
}

} // namespace

void Behavior::Save(File& file) {
    file.Write(static_cast<unsigned int>(m_Items.size()));
    for (Bnode& item : m_Items)
        item.Save(file);
    SaveSlots(file, m_FunctionSlots, maxFIndex);
    SaveSlots(file, m_MachineSlots, maxSMIndex);
    SaveSlots(file, m_TimerSlots, maxTMIndex);
}

void Behavior::Load(File& file) {
    m_Items.clear();
    m_Running = false;
    unsigned int n = 0;
    file.Read(n);
    file.Require(static_cast<long>(n) * 4); // every item record starts with its index
    for (unsigned int i = 0; i < n; ++i) {
        m_Items.emplace_back();
        m_Items.back().Load(file);
    }
    LoadSlots(file, m_FunctionSlots);
    LoadSlots(file, m_MachineSlots);
    LoadSlots(file, m_TimerSlots);
}
