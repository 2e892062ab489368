#include <kiv/base/MemoryPool.h>
#include <kiv/data/Builders.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/Screen.h>
#include <kiv/particles/ParticleSystem.h>

#include "base/Messages.h"
#include "base/PoolAllocation.h"

#include <algorithm>
#include <cstring>

ParticleSystem ParticleSystemPTR::dummyParticleSystemPTR;

ParticleSystem* ParticleSystemPTR::Fallback() {
    return &dummyParticleSystemPTR;
}

namespace {

CREATE registration("ParticleSystem", ParticleSystem::CreateObject);

MemoryPool& Pool() {
    static MemoryPool pool(sizeof(ParticleSystem), 32, false);
    return pool;
}

// A function index the table does not hold is reported and means no function.
int CheckedIndex(int index) {
    if (index > maxFIndex) {
        kiv::ReportUserError("ParticleSystem::ParticleSystem(unsigned int,int,int)", 4, index);
        return -1;
    }
    return index < 0 ? -1 : index;
}

ParticleFunction FunctionAt(int index) {
    return reinterpret_cast<ParticleFunction>(index < 0 ? nullptr : GetFunction(index));
}

// FArray holds untyped pointers, and the level's data decides which entry is a particle's
// function: the sanitizer's check of the callee's type cannot judge such a call.
#if defined(__clang__)
__attribute__((no_sanitize("function")))
#endif
void Call(ParticleFunction f, Particle& p) {
    f(&p);
}

} // namespace

void* ParticleSystem::operator new(std::size_t size) {
    return kiv::PoolNew(Pool(), size);
}

void ParticleSystem::operator delete(void* block, std::size_t size) {
    kiv::PoolDelete(Pool(), block, size);
}

ParticleSystem::ParticleSystem()
    : m_Map(nullptr), m_MapX(0), m_MapY(0), m_Gravity(0), m_Alive(true), m_Unused(false),
      m_Count(0), m_InitIndex(-1), m_UpdateIndex(-1), m_Init(nullptr), m_Update(nullptr),
      m_Pause(false) {}

ParticleSystem::ParticleSystem(unsigned int count, int initFunction, int updateFunction)
    : ParticleSystem() {
    m_InitIndex = CheckedIndex(initFunction);
    m_UpdateIndex = CheckedIndex(updateFunction);
    TakeFunctions();
    m_Particles.resize(count);
    m_Count = count;
    Init();
}

ParticleSystem::ParticleSystem(const ParticleSystem& other)
    : node(other), m_Particles(other.m_Particles), m_Name(other.m_Name), m_Map(other.m_Map),
      m_MapX(other.m_MapX), m_MapY(other.m_MapY), m_Gravity(other.m_Gravity),
      m_Alive(other.m_Alive), m_Unused(other.m_Unused), m_Count(other.m_Count),
      m_InitIndex(other.m_InitIndex), m_UpdateIndex(other.m_UpdateIndex), m_Init(other.m_Init),
      m_Update(other.m_Update), m_Pause(other.m_Pause) {
    for (Particle& p : m_Particles)
        p.m_Owner = this;
}

ParticleSystem::~ParticleSystem() = default;

node* ParticleSystem::CreateObject() {
    return new ParticleSystem;
}

node* ParticleSystem::Clone() {
    return new ParticleSystem(*this);
}

const char* ParticleSystem::ClassName() {
    return "ParticleSystem";
}

void ParticleSystem::TakeFunctions() {
    m_Init = FunctionAt(m_InitIndex);
    m_Update = FunctionAt(m_UpdateIndex);
}

void ParticleSystem::Init() {
    for (Particle& p : m_Particles) {
        p.m_Owner = this;
        if (m_Init)
            Call(m_Init, p);
    }
}

void ParticleSystem::Update() {
    if (!m_Update || !m_Alive || m_Pause)
        return;
    unsigned int dead = 0;
    for (Particle& p : m_Particles) {
        p.m_PreviousX = p.m_X;
        p.m_PreviousY = p.m_Y;
        p.m_Waited = p.m_BirthDelay != 0;
        if (p.m_Waited) {
            --p.m_BirthDelay;
        } else if (p.Dead()) {
            if (++dead == m_Count)
                m_Alive = false;
        } else {
            p.Live(m_Gravity);
        }
        float length = p.TakeStep(m_MapX, m_MapY);
        if (p.m_CheckCollisionWithMap)
            p.CollisionWithMap(m_Map, length);
        Call(m_Update, p);
    }
    Display();
}

void ParticleSystem::Display() {
    if (!pScreen || !gNode)
        return;
    ViewPort& view = gNode->GetViewPort();
    const float viewX = view.WorldXPos(), viewY = view.WorldYPos();
    const bool standard = m_Map && m_Map->Type() == Map::Standard;
    const float mapX = standard ? m_Map->WorldPositionX() : 0.0f;
    const float mapY = standard ? m_Map->WorldPositionY() : 0.0f;
    pScreen->Start();
    for (const Particle& p : m_Particles) {
        if (p.Dead() || !p.m_Visible || p.m_BirthDelay != 0 || p.m_Waited)
            continue;
        int x, y;
        if (standard) {
            x = static_cast<int>(mapX - viewX + p.m_X + m_MapX);
            y = static_cast<int>(mapY - viewY - p.m_Y + m_MapY);
        } else {
            x = static_cast<int>(p.m_X + m_MapX - viewX);
            y = static_cast<int>(-p.m_Y + m_MapY - viewY);
        }
        int size = static_cast<int>(std::min(p.m_Size, 1u << 16));
        pScreen->SetPixels(x, y, size, size, static_cast<COLORREF>(p.Color()));
    }
    pScreen->Stop();
}

void ParticleSystem::Name(const char* name) {
    if (!name) {
        kiv::ReportUserError("void ParticleSystem::Name(const char *)", 33);
        return;
    }
    m_Name = name;
}

void ParticleSystem::BelongToMap(const char* name) {
    Map* map = Map::Search(name);
    if (!map) {
        kiv::ReportUserError("void ParticleSystem::BelongToMap(const char *)", 34, name ? name : "",
                             m_Name.operator const char*());
        return;
    }
    float x = WorldPositionX(), y = WorldPositionY();
    m_Map = map;
    WorldPosition(x, y);
}

const char* ParticleSystem::BelongToMap() const {
    return m_Map ? m_Map->Name() : nullptr;
}

float ParticleSystem::WorldPositionX() const {
    return m_Map ? m_Map->WorldPositionX() + m_MapX : m_MapX;
}

float ParticleSystem::WorldPositionY() const {
    return m_Map ? m_Map->WorldPositionY() + m_MapY : m_MapY;
}

void ParticleSystem::WorldPositionX(float x) {
    m_MapX = m_Map ? x - m_Map->WorldPositionX() : x;
}

void ParticleSystem::WorldPositionY(float y) {
    m_MapY = m_Map ? y - m_Map->WorldPositionY() : y;
}

void ParticleSystem::WorldPosition(float x, float y) {
    WorldPositionX(x);
    WorldPositionY(y);
}

void ParticleSystem::MapPosition(float x, float y) {
    m_MapX = x;
    m_MapY = y;
}

void ParticleSystem::WorldPositionXInc(float delta, float limit) {
    WorldPositionX(std::min(WorldPositionX() + delta, limit));
}

void ParticleSystem::WorldPositionXDec(float delta, float limit) {
    WorldPositionX(std::max(WorldPositionX() - delta, limit));
}

void ParticleSystem::WorldPositionYInc(float delta, float limit) {
    WorldPositionY(std::min(WorldPositionY() + delta, limit));
}

void ParticleSystem::WorldPositionYDec(float delta, float limit) {
    WorldPositionY(std::max(WorldPositionY() - delta, limit));
}

void ParticleSystem::MapPositionXInc(float delta, float limit) {
    m_MapX = std::min(m_MapX + delta, limit);
}

void ParticleSystem::MapPositionXDec(float delta, float limit) {
    m_MapX = std::max(m_MapX - delta, limit);
}

void ParticleSystem::MapPositionYInc(float delta, float limit) {
    m_MapY = std::min(m_MapY + delta, limit);
}

void ParticleSystem::MapPositionYDec(float delta, float limit) {
    m_MapY = std::max(m_MapY - delta, limit);
}

namespace {

// The first system of the level named so that `wanted` accepts, else the user error.
template <class F>
ParticleSystem* Find(const char* name, const char* function, F wanted) {
    if (gNode && name)
        for (node* n = gNode->ParticleSystems().Head(); !n->EOList(); n = n->Next()) {
            auto* system = static_cast<ParticleSystem*>(n);
            if (std::strcmp(system->Name(), name) == 0 && wanted(*system))
                return system;
        }
    kiv::ReportUserError(function, 32, name ? name : "");
    return nullptr;
}

} // namespace

ParticleSystem* ParticleSystem::Search(const char* name) {
    return Find(name, "ParticleSystem * ParticleSystem::Search(const char *)",
                [](ParticleSystem&) { return true; });
}

ParticleSystem* ParticleSystem::Use(const char* name) {
    ParticleSystem* system = Find(name, "ParticleSystem * ParticleSystem::Use(const char *)",
                                  [](ParticleSystem& s) { return s.Unused(); });
    if (system)
        system->Unused(false);
    return system;
}

ParticleSystem* ParticleSystem::CreateParticleSystem() {
    if (!gNode)
        return nullptr;
    auto* copy = new ParticleSystem(*this);
    gNode->Add(copy);
    copy->Init();
    return copy;
}

void ParticleSystem::Save(File& file) {
    file.Write(static_cast<int>(m_Particles.size()));
    for (const Particle& p : m_Particles)
        p.Save(file);
    file.Write(static_cast<node*>(m_Map));
    m_Name.Save(file);
    file.Write(m_MapX);
    file.Write(m_MapY);
    file.Write(m_Gravity);
    file.Write(m_Alive);
    file.Write(m_Unused);
    file.Write(m_Count);
    file.Write(m_Pause);
    file.Write(m_InitIndex);
    file.Write(m_UpdateIndex);
}

void ParticleSystem::Load(File& file) {
    int count = 0;
    file.Read(count);
    // The file must hold the records before room is made for them.
    file.Require(count < 0 ? -1 : static_cast<long>(count) * Particle::RecordSize);
    m_Particles.assign(static_cast<size_t>(count), Particle());
    for (Particle& p : m_Particles)
        p.Load(file, this);
    node* map = nullptr;
    file.Read(map);
    m_Map = dynamic_cast<Map*>(map);
    m_Name.Load(file);
    file.Read(m_MapX);
    file.Read(m_MapY);
    file.Read(m_Gravity);
    file.Read(m_Alive);
    file.Read(m_Unused);
    file.Read(m_Count);
    m_Count = static_cast<unsigned int>(m_Particles.size()); // the records are what there is
    file.Read(m_Pause);
    file.Read(m_InitIndex);
    file.Read(m_UpdateIndex);
    TakeFunctions();
}
