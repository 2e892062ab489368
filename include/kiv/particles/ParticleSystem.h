#pragma once

#include <kiv/base/Handle.h>
#include <kiv/base/String.h>
#include <kiv/base/node.h>
#include <kiv/particles/Particle.h>

#include <cstddef>
#include <vector>

class Map;

// The game's function that sets a particle up at birth or steers it each frame.
typedef void (*ParticleFunction)(Particle*);

// A fixed set of particles flying from the system's origin, drawn as squares of pixels. What
// a particle does at birth and every frame is decided by two functions of the game (indexes
// into FArray). A system belongs to a map, whose shapes its particles may bounce off; it is
// updated and drawn after that map's sprites and removes itself from the level once every
// particle has died.
class KIV_API ParticleSystem : public node {
public:
    // An empty system, as the loader makes it.
    ParticleSystem();
    // `count` particles, set up at once by the init function; an index above the table's
    // last is reported and means no function.
    ParticleSystem(unsigned int count, int initFunction, int updateFunction);
    ParticleSystem(const ParticleSystem& other);
    ParticleSystem& operator=(const ParticleSystem&) = delete;
    ~ParticleSystem() override;

    static node* CreateObject();
    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    // Every particle owned by this system and given to the init function.
    void Init();
    // One frame of every particle, each given to the update function, then Display().
    void Update();
    void Display();

    bool Alive() const { return m_Alive; }
    void Pause(bool on) { m_Pause = on; }
    bool Pause() const { return m_Pause; }
    // A spare system, waiting for Use.
    void Unused(bool on) { m_Unused = on; }
    bool Unused() const { return m_Unused; }
    void Name(const char* name);
    const char* Name() const { return m_Name; }
    // Moves the system to the named map of the level, keeping its world position.
    void BelongToMap(const char* map);
    // The map's name, or null.
    const char* BelongToMap() const;
    Map* GetMap() const { return m_Map; }
    void Gravity(float g) { m_Gravity = g; }
    float Gravity() const { return m_Gravity; }

    // The origin in the world, or relative to the map's world position (the map position;
    // both are the same without a map).
    void WorldPositionX(float x);
    void WorldPositionY(float y);
    float WorldPositionX() const;
    float WorldPositionY() const;
    void WorldPosition(float x, float y);
    void MapPositionX(float x) { m_MapX = x; }
    void MapPositionY(float y) { m_MapY = y; }
    float MapPositionX() const { return m_MapX; }
    float MapPositionY() const { return m_MapY; }
    void MapPosition(float x, float y);
    // Moves by delta, not past the limit.
    void WorldPositionXInc(float delta, float limit);
    void WorldPositionXDec(float delta, float limit);
    void WorldPositionYInc(float delta, float limit);
    void WorldPositionYDec(float delta, float limit);
    void MapPositionXInc(float delta, float limit);
    void MapPositionXDec(float delta, float limit);
    void MapPositionYInc(float delta, float limit);
    void MapPositionYDec(float delta, float limit);

    // The first system of the level with that name (a user error and null when none).
    static ParticleSystem* Search(const char* name);
    // The first spare system of that name, taken into use.
    static ParticleSystem* Use(const char* name);
    // A copy added to the level and set up by the init function; null without a level.
    ParticleSystem* CreateParticleSystem();

    unsigned int Count() const { return m_Count; }
    Particle& At(unsigned int i) { return m_Particles[i]; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size);

private:
    // The functions of FArray at the two indexes (none for -1 or a missing entry).
    void TakeFunctions();

    std::vector<Particle> m_Particles;
    String m_Name;
    Map* m_Map;
    float m_MapX, m_MapY;
    float m_Gravity;
    bool m_Alive;
    bool m_Unused;
    unsigned int m_Count;
    int m_InitIndex, m_UpdateIndex;
    ParticleFunction m_Init, m_Update;
    bool m_Pause;
};

// A particle system that is never null: an unknown name gives an empty fallback system.
class KIV_API ParticleSystemPTR : public kiv::Handle<ParticleSystem, ParticleSystemPTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static ParticleSystem* Fallback();
    static ParticleSystem dummyParticleSystemPTR;
};
