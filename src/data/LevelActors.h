#pragma once

#include <kiv/base/String.h>

#include <vector>

class GameNode;

namespace kiv {

// The Id of the level whose actors the actor table holds; 0 when it holds none.
extern int ActorsLevel;

// The names of the sounds the actors' animations play (an empty name for an animation
// without one), animation after animation of the actor table.
std::vector<String> ActorSoundNames();
// Points the animations at the running level's sounds of the names ActorSoundNames gave,
// after the level's sounds were made again.
void BindActorSounds(const std::vector<String>& names);

// Reads the actors of `level` from its level file into the actor table without starting the
// level: what the level file holds besides its actors is read into a stand-in level and
// thrown away. Returns the names of the animations' sounds (see ActorSoundNames).
std::vector<String> BuildActors(GameNode& level);

} // namespace kiv
