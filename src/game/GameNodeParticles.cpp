// The level's particle systems: adding them, and their frame after each map's sprites.

#include <kiv/game/GameNode.h>
#include <kiv/particles/ParticleSystem.h>

bool GameNode::Add(ParticleSystem* system) {
    if (!system)
        return false;
    ++m_ParticleSystemCount;
    m_ParticleSystems.add(system);
    return true;
}

void GameNode::UpdateParticleSystem(Map* map) {
    node* n = m_ParticleSystems.Head();
    while (!n->EOList()) {
        auto* system = static_cast<ParticleSystem*>(n);
        n = n->Next();
        if (system->GetMap() != map)
            continue;
        if (!system->Alive())
            m_ParticleSystems.del(system);
        else if (!system->Unused())
            system->Update();
    }
}
