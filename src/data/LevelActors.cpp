#include <kiv/data/Builders.h>
#include <kiv/data/File.h>
#include <kiv/data/GameFiles.h>
#include <kiv/game/GameNode.h>
#include <kiv/input/KivCursor.h>
#include <kiv/sound/Sound.h>
#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/SpriteElem.h>

#include "data/LevelActors.h"

namespace kiv {

int ActorsLevel = 0;

namespace {

template <class Visit>
void EachAnimation(Visit visit) {
    for (SpriteElem& actor : SpriteList)
        for (int a = 0; a < actor.m_AnimationCount; ++a)
            visit(actor.m_Animations[a]);
}

} // namespace

std::vector<String> ActorSoundNames() {
    std::vector<String> names;
    EachAnimation([&](AnimationElem& animation) {
        names.emplace_back(animation.m_Sound ? animation.m_Sound->Name() : "");
    });
    return names;
}

void BindActorSounds(const std::vector<String>& names) {
    size_t i = 0;
    EachAnimation([&](AnimationElem& animation) {
        const char* name = i < names.size() ? names[i].operator const char*() : "";
        animation.m_Sound = *name ? Sound::Search(name) : nullptr;
        ++i;
    });
}

// The builders read into the running level (gNode) and replace the cursor object: both are
// pointed at the stand-in while it is read, and the game's own are put back afterwards.
std::vector<String> BuildActors(GameNode& level) {
    ActorsLevel = level.Id();
    if (!*level.LevelFile()) // a level made by the game's code, without a file
        return {};
    GameNode* running = gNode;
    KivCursor* cursor = pKivCursor;
    pKivCursor = nullptr;
    GameNode standIn;
    standIn.Id(level.Id());
    gNode = &standIn;
    _LevelFile = new File(level.LevelFile(), File::Reading);
    GenerateLevel(&standIn);
    GenerateActors(&standIn);
    delete _LevelFile;
    _LevelFile = nullptr;
    std::vector<String> sounds = ActorSoundNames();
    delete pKivCursor;
    pKivCursor = cursor;
    gNode = running;
    return sounds;
}

} // namespace kiv
