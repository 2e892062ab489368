#include <kiv/base/UserError.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/data/GameFiles.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/input/DIK.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/KivCursor.h>
#include <kiv/input/Mouse.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/variables/Variable.h>

#include "base/LocalVariables.h"
#include "base/Messages.h"
#include "data/LevelActors.h"
#include "data/PendingSprites.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "platform/Platform.h"
#include "sprites/SpriteBroadPhase.h"

#include <cstdio>
#include <cstring>

GameNode* gNode = nullptr;

namespace {

CREATE registration("GameNode", GameNode::CreateObject);

std::uint32_t Now() {
    return kiv::platform::Current().GetClock().Milliseconds();
}

} // namespace

GameNode::GameNode()
    : m_Id(0), m_WorldWidth(640), m_WorldHeight(480), m_SpriteCount(0), m_MapCount(0),
      m_VariableCount(0), m_SoundCount(0), m_StreamedSoundCount(0), m_MidiFileCount(0),
      m_ParticleSystemCount(0), m_LocalVariableIndex(-1), m_FrameStart(0), m_FrameEnd(0),
      m_Elapsed(0), m_TargetFPS(0), m_TargetMS(0), m_CurrentFPS(0), m_LastFPSRefresh(0),
      m_FPSVariable(nullptr), m_FirstLoad(nullptr), m_SecondLoad(nullptr), m_ExitFunction(nullptr),
      m_EndFunction(nullptr), m_ExitCalled(false), m_QuitOnEscape(false),
      m_ShowScrollingBoundingBox(false), m_NetworkLevel(false), m_Port(1111), m_FallbackLevel(0),
      m_PlayersNeeded(0),
      m_MaxPlayers(0), m_SessionId{}, m_Reserved{513, 512, 1024, 1024, 128, 128, 512} {
    FPStoMS(60);
    InitFPS();
}

GameNode::GameNode(const GameNode& o)
    : node(o), m_Id(o.m_Id), m_WorldWidth(o.m_WorldWidth), m_WorldHeight(o.m_WorldHeight),
      m_Name(o.m_Name), m_PaletteName(o.m_PaletteName), m_LevelFile(o.m_LevelFile),
      m_Behavior(o.m_Behavior), m_SpriteCount(o.m_SpriteCount), m_MapCount(o.m_MapCount),
      m_VariableCount(o.m_VariableCount), m_SoundCount(o.m_SoundCount),
      m_StreamedSoundCount(o.m_StreamedSoundCount), m_MidiFileCount(o.m_MidiFileCount),
      m_ParticleSystemCount(o.m_ParticleSystemCount), m_Maps(o.m_Maps), m_Variables(o.m_Variables),
      m_Sounds(o.m_Sounds), m_StreamedSounds(o.m_StreamedSounds), m_MidiFiles(o.m_MidiFiles),
      m_ParticleSystems(o.m_ParticleSystems), m_ViewPort(o.m_ViewPort),
      m_LocalVariableIndex(o.m_LocalVariableIndex), m_FrameStart(0), m_FrameEnd(0), m_Elapsed(0),
      m_TargetFPS(o.m_TargetFPS), m_TargetMS(o.m_TargetMS), m_CurrentFPS(o.m_CurrentFPS),
      m_LastFPSRefresh(0), m_FPSVariable(nullptr), m_FirstLoad(o.m_FirstLoad),
      m_SecondLoad(o.m_SecondLoad), m_ExitFunction(o.m_ExitFunction),
      m_EndFunction(o.m_EndFunction), m_ExitCalled(false), m_QuitOnEscape(o.m_QuitOnEscape),
      m_ShowScrollingBoundingBox(o.m_ShowScrollingBoundingBox), m_NetworkLevel(o.m_NetworkLevel),
      m_Port(o.m_Port), m_FallbackLevel(o.m_FallbackLevel), m_PlayersNeeded(o.m_PlayersNeeded),
      m_MaxPlayers(o.m_MaxPlayers) {
    for (int d = 0; d < DisplayLists; ++d)
        m_DisplayLists[d] = o.m_DisplayLists[d];
    std::memcpy(m_SessionId, o.m_SessionId, sizeof m_SessionId);
    std::memcpy(m_Reserved, o.m_Reserved, sizeof m_Reserved);
    localVariable = o.localVariable ? o.localVariable->Clone() : nullptr;
    // The frame-rate variable is the copy at its place in the copied list.
    for (node *from = o.m_Variables.Head(), *to = m_Variables.Head(); !from->EOList();
         from = from->Next(), to = to->Next())
        if (from == o.m_FPSVariable)
            m_FPSVariable = static_cast<Variable*>(to);
}

GameNode::~GameNode() {
    delete localVariable;
}

const char* GameNode::ClassName() {
    return "GameNode";
}

node* GameNode::CreateObject() {
    return new GameNode;
}

void GameNode::Name(const char* name) {
    m_Name = name;
}

void GameNode::PaletteName(const char* name) {
    m_PaletteName = name;
}

void GameNode::LevelFile(const char* path) {
    m_LevelFile = path;
}

void GameNode::LoadFunctions(LevelFunction first, LevelFunction second) {
    m_FirstLoad = first;
    m_SecondLoad = second;
}

GameNode* GameNode::Search(char* name) {
    GameNode* level = Game::Search(name);
    if (!level)
        kiv::ReportUserError("GameNode* GameNode::Search(char *)", 22, name ? name : "");
    return level;
}

void GameNode::NetworkSettings(unsigned int port, int fallbackLevel, int playersNeeded,
                               int maxPlayers, const unsigned char sessionId[16]) {
    m_Port = port;
    m_FallbackLevel = fallbackLevel;
    m_PlayersNeeded = playersNeeded;
    m_MaxPlayers = maxPlayers;
    std::memcpy(m_SessionId, sessionId, sizeof m_SessionId);
}

void GameNode::AddLocalVariable(unsigned int index) {
    if (!kiv::AddLocalVariable(localVariable, index))
        kiv::ReportUserError("void GameNode::AddLocalVariable(unsigned int index)", 1, index);
    else
        m_LocalVariableIndex = static_cast<int>(index);
}

bool GameNode::Add(Variable& v) {
    return Add(new Variable(v));
}

bool GameNode::Add(Sprite* sprite) {
    if (!sprite)
        return false;
    int list = sprite->DisplayListNumber();
    if (list < 0 || list >= DisplayLists) {
        kiv::ReportUserError("bool GameNode::Add(Sprite *)", 23, sprite->Name(), DisplayLists);
        delete sprite;
        return false;
    }
    sprite->Id(++m_SpriteCount);
    sprite->AppliedZOrder(sprite->ZOrder());
    List& sprites = m_DisplayLists[list];
    node* before = sprites.Head();
    while (!before->EOList() && static_cast<Sprite*>(before)->AppliedZOrder() < sprite->ZOrder())
        before = before->Next();
    sprites.add(sprite, before);
    kiv::SpriteBroadPhase::Joined();
    if (sprite->MainCharacter())
        MainCharacterSprite = sprite;
    return true;
}

bool GameNode::Add(Sprite& sprite) {
    return Add(new Sprite(sprite));
}

bool GameNode::Add(Map* map) {
    if (!map)
        return false;
    map->Id(++m_MapCount);
    node* before = m_Maps.Head();
    while (!before->EOList() && static_cast<Map*>(before)->ZOrder() < map->ZOrder())
        before = before->Next();
    m_Maps.add(map, before);
    return true;
}

bool GameNode::Add(Map& map) {
    return Add(new Map(map));
}

bool GameNode::AddMap(const char* name, const char* file, int zOrder, int x, int y,
                      bool screenFixed, KivRect displayRect, Map::MapType type) {
    return Add(new Map(name, file, type, zOrder, x, y, screenFixed, displayRect));
}

bool GameNode::Add(Variable* v) {
    if (!v)
        return false;
    v->Id(++m_VariableCount);
    m_Variables.add(v);
    return true;
}

void GameNode::Reset() {
    m_ViewPort.WorldXPos(0);
    m_ViewPort.WorldYPos(0);
    m_SpriteCount = m_MapCount = m_VariableCount = m_SoundCount = m_StreamedSoundCount =
        m_MidiFileCount = m_ParticleSystemCount = 0;
    m_QuitOnEscape = false;
    Empty();
    m_ExitCalled = false;
    InitFPS();
    m_Behavior = Behavior();
}

void GameNode::Empty() {
    m_Maps.del();
    m_Variables.del();
    m_FPSVariable = nullptr;
    m_Sounds.del();
    m_StreamedSounds.del();
    m_MidiFiles.del();
    m_ParticleSystems.del();
    for (List& list : m_DisplayLists)
        list.del();
    m_LoadedLeftovers.del();
    if (pKivCursor) // its sprite went with the display lists
        pKivCursor->ForgetSprite();
}

void GameNode::Execute() {
    if (pKeyboard)
        pKeyboard->Reset();
    if (pMouse) {
        pMouse->ResetKeys();
        pMouse->Locate(0, 0);
    }
    kiv::PaletteFileName = m_PaletteName;
    kiv::LoadPalette();
    if (!m_LevelFile.empty())
        _LevelFile = new File(m_LevelFile, File::Reading);
    if (m_FirstLoad)
        m_FirstLoad(this);
    if (m_SecondLoad)
        m_SecondLoad(this);
    kiv::ApplyWaitingPlayback();
    kiv::ActorsLevel = m_Id;
    kiv::LoadActorImages();
    delete _LevelFile;
    _LevelFile = nullptr;
    CheckMainCharacters();
    kiv::WaitingForPlayers = false;
    if (m_NetworkLevel)
        StartNetworkLevel();
}

// Every main character must start wholly inside the viewport's scrolling bounding box.
void GameNode::CheckMainCharacters() {
    FRECT box = m_ViewPort.BBWorldRect();
    KivRect inside = {static_cast<int>(box.left), static_cast<int>(box.top),
                      static_cast<int>(box.right), static_cast<int>(box.bottom)};
    for (List& list : m_DisplayLists)
        for (node* n = list.Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            FrameElem* frame = s->CurrentFrame();
            if (!s->MainCharacter() || !frame)
                continue;
            const KivRect& b = frame->m_BoundingBox[s->ShownRow()];
            int x = static_cast<int>(s->LeftPosition()), y = static_cast<int>(s->TopPosition());
            if (b.left + x < inside.left || b.top + y < inside.top || b.right + x > inside.right ||
                b.bottom + y > inside.bottom)
                FatalError("%s", kiv::Message(27));
        }
}

void GameNode::GetNewVariableStates() {
    for (node* n = m_Variables.Head(); !n->EOList(); n = n->Next()) {
        auto* v = static_cast<Variable*>(n);
        if (!v->Pause())
            v->GetBehavior().Update(v);
    }
    if (Variable* v = m_FPSVariable) {
        if (pKeyboard && pKeyboard->IsTriggered(DIK_F11))
            v->Visible(!v->Visible());
        std::uint32_t now = Now();
        if (v->Visible() && now - m_LastFPSRefresh >= 100) {
            m_LastFPSRefresh = now;
            char text[64];
            std::snprintf(text, sizeof text, "FPS = %0.2f", static_cast<double>(m_CurrentFPS));
            *v = text;
        }
    }
}

void GameNode::UpdateCursor() {
    if (!myGame || !myGame->ShowCursor() || !pKivCursor)
        return;
    Sprite* sprite = Sprite::Search("KIV_CURSOR_ROSRUC_");
    if (!sprite)
        return;
    pKivCursor->GetBehavior().Update(pKivCursor);
    sprite->DisplaySprite();
}

void GameNode::DeleteKivCursor() {
    delete pKivCursor;
    pKivCursor = nullptr;
}

void GameNode::ViewPortPosition(unsigned int x, unsigned int y, bool moveMainCharacter) {
    m_ViewPort.Offset(static_cast<float>(x) - m_ViewPort.WorldXPos(),
                      static_cast<float>(y) - m_ViewPort.WorldYPos(), moveMainCharacter);
}

void GameNode::StartTimer() {
    m_FrameStart = Now();
}

void GameNode::EndTimer() {
    m_FrameEnd = Now();
    m_Elapsed = m_FrameEnd - m_FrameStart;
}

void GameNode::Idle() {
    if (m_TargetMS == m_Elapsed) {
        m_CurrentFPS = 1000.0f / static_cast<float>(m_TargetMS);
    } else if (m_TargetMS < m_Elapsed) {
        m_CurrentFPS = 1000.0f / static_cast<float>(m_Elapsed);
    } else {
        kiv::platform::Current().GetClock().WaitUntil(m_FrameEnd + (m_TargetMS - m_Elapsed));
        m_CurrentFPS = 1000.0f / static_cast<float>(m_TargetMS);
    }
}

void GameNode::FPStoMS(unsigned int fps) {
    if (fps == 0)
        return;
    m_TargetFPS = fps;
    m_TargetMS = 1000 / fps;
    m_CurrentFPS = static_cast<float>(fps);
}

void GameNode::InitFPS() {
    auto* fps = new Variable("FPS = ");
    fps->Name("FPS");
    fps->Color(0x00F500);
    fps->FontName("Impact");
    fps->Visible(false);
    fps->Weight(0);
    fps->Width(6);
    fps->Height(10.0f);
    fps->Frame({kiv::ModeWidth / 2 - 75, 0, kiv::ModeWidth / 2 + 75, 40});
    fps->LetterSpacing(2);
    fps->DisplayType(Variable::RespectingWords);
    Add(fps);
    m_FPSVariable = fps;
}

void GameNode::UpdateScreen() {
    if (!kiv::GamePaused)
        kiv::PresentBackBuffer();
}
