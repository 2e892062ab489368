// A level's save record. It carries, besides the level's own objects, the game-wide state
// that a loaded game must find again: the mouse, the cursor, the random generators, the
// game's behavior and local variables, the window's mode and title.
#include <kiv/base/Random.h>
#include <kiv/data/File.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GammaRamp.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/OpenClose.h>
#include <kiv/graphics/RandomDissolve.h>
#include <kiv/host/Host.h>
#include <kiv/input/KivCursor.h>
#include <kiv/input/Mouse.h>
#include <kiv/particles/ParticleSystem.h>
#include <kiv/sound/MidiFile.h>
#include <kiv/sound/Sound.h>
#include <kiv/sound/StreamedSound.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/variables/Variable.h>

#include "base/Generators.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "variables/TextDrawing.h"

#include <array>
#include <cstring>

namespace {

// The window title is kept to what the system's title buffer holds.
constexpr int LongestTitle = 255;

// The level's own frame-rate variable comes back from a record under this name, beside the
// one that a level makes for itself.
constexpr char FPSCopy[] = "FPS_COPY";

// Moves every object of a list read from a file that `fits` refuses into `leftovers`, which
// keeps it alive for whatever else in the file points at it.
template <class Fits>
void KeepFitting(List& list, List& leftovers, Fits fits) {
    for (node* n = list.Head(); !n->EOList();) {
        node* next = n->Next();
        if (!fits(n)) {
            list.remove(n);
            leftovers.add(n);
        }
        n = next;
    }
}

template <class T>
bool Is(node* n) {
    return dynamic_cast<T*>(n) != nullptr;
}

// The random generators whose state a game carries: RandFlt's, RandInt's and the texts'.
std::array<Random*, 3> Generators() {
    return {&kiv::FloatGenerator, &kiv::IntGenerator, &kiv::TextGenerator()};
}

// The screen effects' records; a game without effect objects (a test's) writes and reads
// those of idle ones, so that the record keeps its layout.
template <class Effect>
void SaveEffect(File& file, Effect* effect) {
    if (effect)
        effect->Save(file);
    else
        Effect().Save(file);
}

template <class Effect>
void LoadEffect(File& file, Effect* effect) {
    if (effect)
        effect->Load(file);
    else
        Effect().Load(file);
}

} // namespace

void GameNode::Save(File& f) {
    f.Write(m_WorldWidth);
    f.Write(m_WorldHeight);
    m_Behavior.Save(f);
    pMouse->SaveState(f);
    f.Write(m_TargetFPS);
    f.Write(static_cast<unsigned long>(m_TargetMS));
    f.Write(static_cast<node*>(MainCharacterSprite));
    f.Write(pKivCursor != nullptr);
    m_PaletteName.Save(f);
    f.Write(m_ShowScrollingBoundingBox);
    f.Write(m_QuitOnEscape);
    for (int counter : {m_SpriteCount, m_MapCount, m_VariableCount, m_SoundCount,
                        m_StreamedSoundCount, m_MidiFileCount, m_ParticleSystemCount})
        f.Write(counter);
    m_Maps.Save(f);
    for (List& list : m_DisplayLists)
        list.Save(f);
    for (List* list :
         {&m_Variables, &m_Sounds, &m_StreamedSounds, &m_MidiFiles, &m_ParticleSystems})
        list->Save(f);
    m_ViewPort.Save(f);
    f.Write(pKivCursor != nullptr);
    if (pKivCursor)
        pKivCursor->Save(f);
    SaveGameState(f);
}

void GameNode::SaveGameState(File& f) {
    f.Write(myGame->showCursor);
    f.Write(m_ExitCalled);
    f.Write(myGame->levelNumber);
    f.Write(myGame->levelChangePending);
    SaveEffect(f, Effect_GammaRamp);
    SaveEffect(f, Effect_OpenClose);
    SaveEffect(f, Effect_RandomDissolve);
    for (Random* generator : Generators())
        generator->Save(f);
    myGame->behavior.Save(f);
    f.Write(_IsWindowed);
    String title;
    title.assign(myGame->title, LongestTitle);
    title.Save(f);
    f.Write(myGame->localVariableIndex);
    f.Write(myGame->localVariable);
    f.Write(m_LocalVariableIndex);
    f.Write(localVariable);
}

// Reads into an empty level; whatever the level held goes first. Objects of the wrong kind
// in a damaged record are kept aside, never used, and the level comes out whole; so are those
// made before a read cut short ends the game.
void GameNode::Load(File& f) {
    auto keepLeftovers = [this, &f] {
        for (node* n : f.Unowned())
            if (n != this) // a level read as an object of its file
                m_LoadedLeftovers.add(n);
    };
    f.OnCutShort(keepLeftovers);
    Empty();
    f.Read(m_WorldWidth);
    f.Read(m_WorldHeight);
    m_Behavior.Load(f);
    pMouse->LoadState(f);
    unsigned long ms = 0;
    f.Read(m_TargetFPS);
    f.Read(ms);
    m_TargetMS = ms ? static_cast<unsigned int>(ms) : 1;
    node* main = nullptr;
    f.Read(main);
    MainCharacterSprite = dynamic_cast<Sprite*>(main);
    bool cursor = false;
    f.Read(cursor);
    m_PaletteName.Load(f);
    kiv::PaletteFileName = m_PaletteName;
    kiv::LoadPalette();
    f.Read(m_ShowScrollingBoundingBox);
    f.Read(m_QuitOnEscape);
    for (int* counter : {&m_SpriteCount, &m_MapCount, &m_VariableCount, &m_SoundCount,
                         &m_StreamedSoundCount, &m_MidiFileCount, &m_ParticleSystemCount})
        f.Read(*counter);
    LoadLists(f);
    m_ViewPort.Load(f);
    LoadCursor(f);
    LoadGameState(f);
    if (MainCharacterSprite && !MainCharacterSprite->next)
        MainCharacterSprite = nullptr; // in no display list: not one of the level's sprites
    keepLeftovers();
    Variable::UpdateTextMaps();
}

void GameNode::LoadLists(File& f) {
    m_Maps.Load(f);
    KeepFitting(m_Maps, m_LoadedLeftovers, Is<Map>);
    for (int d = 0; d < DisplayLists; ++d) {
        m_DisplayLists[d].Load(f);
        KeepFitting(m_DisplayLists[d], m_LoadedLeftovers, [d](node* n) {
            auto* s = dynamic_cast<Sprite*>(n);
            return s && s->DisplayListNumber() == d;
        });
    }
    m_Variables.Load(f);
    KeepFitting(m_Variables, m_LoadedLeftovers, Is<Variable>);
    m_Sounds.Load(f);
    KeepFitting(m_Sounds, m_LoadedLeftovers, Is<Sound>);
    BindLetterSounds();
    m_StreamedSounds.Load(f);
    KeepFitting(m_StreamedSounds, m_LoadedLeftovers, Is<StreamedSound>);
    m_MidiFiles.Load(f);
    KeepFitting(m_MidiFiles, m_LoadedLeftovers, Is<MidiFile>);
    m_ParticleSystems.Load(f);
    KeepFitting(m_ParticleSystems, m_LoadedLeftovers, Is<ParticleSystem>);

    // The frame-rate variable saved with the level becomes the level's own again: it is the
    // oldest of the level's variables, so the last one of the list.
    for (node* n = m_Variables.Head(); !n->EOList(); n = n->Next()) {
        auto* v = static_cast<Variable*>(n);
        if (std::strcmp(v->Name(), FPSCopy) == 0)
            m_FPSVariable = v;
    }
    if (m_FPSVariable)
        m_FPSVariable->Name("FPS");
}

// The variables read before the sounds find their letter sounds now.
void GameNode::BindLetterSounds() {
    for (node* n = m_Variables.Head(); !n->EOList(); n = n->Next())
        static_cast<Variable*>(n)->BindLetterSound();
    for (List& list : m_DisplayLists)
        for (node* n = list.Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            for (int i = 0; i < s->VariableNumber(); ++i)
                s->LocalVariable(i)->BindLetterSound();
        }
}

// A cursor object read from the record replaces the game's; a record without one leaves the
// game without a cursor. The cursor's sprite, when the level had one, came back with the
// display lists; a cursor whose level had none (a cursor kept from an earlier level) stays
// without.
void GameNode::LoadCursor(File& f) {
    bool cursor = false;
    f.Read(cursor);
    DeleteKivCursor();
    if (!cursor)
        return;
    // The game's before its record is read: a record cut short leaves it to the game's end.
    auto* loaded = static_cast<KivCursor*>(KivCursor::CreateObject());
    pKivCursor = loaded;
    loaded->LoadRecord(f, false);
}

void GameNode::LoadGameState(File& f) {
    f.Read(myGame->showCursor);
    f.Read(m_ExitCalled);
    f.Read(myGame->levelNumber);
    f.Read(myGame->levelChangePending);
    LoadEffect(f, Effect_GammaRamp);
    LoadEffect(f, Effect_OpenClose);
    LoadEffect(f, Effect_RandomDissolve);
    for (Random* generator : Generators())
        generator->Load(f);
    kiv::TextSeedPending = false; // the loaded state goes on, as saved
    myGame->behavior.Load(f);
    bool windowed = _IsWindowed;
    f.Read(windowed);
    if (windowed != _IsWindowed)
        kiv::SwitchScreenMode();
    if (Effect_GammaRamp) // in the display mode of the save, which has the ramp or not
        Effect_GammaRamp->ShowRamp();
    String title;
    title.Load(f);
    myGame->Title(title);
    f.Read(myGame->localVariableIndex);
    delete myGame->localVariable;
    myGame->localVariable = f.ReadOwned<node>();
    f.Read(m_LocalVariableIndex);
    delete localVariable;
    localVariable = f.ReadOwned<node>();
}
