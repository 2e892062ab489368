// The level's particle systems: adding them, and their frame after each map's sprites.

#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/particles/ParticleSystem.h>

bool GameNode::Add(ParticleSystem* system) {
    if (!system)
        return false;
    ++m_ParticleSystemCount;
    m_ParticleSystems.add(system);
    return true;
}

// Only a master or standard map has particle systems that run; a system that has died
// leaves the level, and the level counts one system fewer.
void GameNode::UpdateParticleSystem(Map* map) {
    if (!map || map->Type() == Map::Wrapped)
        return;
    node* n = m_ParticleSystems.Head();
    while (!n->EOList()) {
        auto* system = static_cast<ParticleSystem*>(n);
        n = n->Next();
        if (system->GetMap() != map)
            continue;
        if (!system->Alive()) {
            m_ParticleSystems.del(system);
            --m_ParticleSystemCount;
        } else if (!system->Unused())
            system->Update();
    }
}
