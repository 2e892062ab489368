#include <kiv/base/Console.h>
#include <kiv/base/UserError.h>
#include <kiv/data/Builders.h>
#include <kiv/data/File.h>
#include <kiv/data/GameFiles.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/Screen.h>
#include <kiv/host/Host.h>
#include <kiv/logic/Alarm.h>
#include <kiv/logic/PathStateMachine.h>
#include <kiv/logic/StateMachine.h>
#include <kiv/logic/Timer.h>
#include <kiv/particles/ParticleSystem.h>
#include <kiv/sound/Sound.h>
#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/MovementPattern.h>
#include <kiv/sprites/SpriteElem.h>
#include <kiv/variables/Variable.h>

#include "base/Messages.h"
#include "data/BehaviorList.h"
#include "data/DataLimits.h"
#include "data/LogicTables.h"
#include "data/PendingSprites.h"
#include "data/RecordReading.h"
#include "host/HostGlobals.h"
#include "input/CursorRecord.h"
#include "platform/Platform.h"
#include "variables/TextRecord.h"

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

using kiv::Get;
using kiv::GetCoordinate;
using kiv::GetCoordinateRect;
using kiv::GetCount;
using kiv::GetExtent;
using kiv::GetString;
using kiv::GetWholeCoordinate;

namespace {

File& GameData() {
    return *_GameFile;
}
File& LevelData() {
    return *_LevelFile;
}

CollisionSegment ReadSegment(File& file) {
    constexpr const char* what = "a collision segment's end point";
    float x1 = GetCoordinate(file, what), y1 = GetCoordinate(file, what),
          x2 = GetCoordinate(file, what), y2 = GetCoordinate(file, what);
    int id = Get<int>(file);
    auto attributes = Get<unsigned char>(file);
    int extra = Get<int>(file);
    return CollisionSegment(x1, y1, x2, y2, id, attributes, extra);
}

// Nested machines that contain themselves would nest without end: such a link is dropped.
void BreakNestingCycles() {
    std::vector<int> mark(static_cast<size_t>(maxSMIndex + 1), 0); // 0 new, 1 open, 2 done
    std::function<void(int)> visit = [&](int m) {
        mark[static_cast<size_t>(m)] = 1;
        for (State& state : SMArray[m].States()) {
            int sub = static_cast<int>(state.m_SubMachine ? state.m_SubMachine - SMArray : -1);
            if (sub < 0)
                continue;
            if (mark[static_cast<size_t>(sub)] == 1)
                state.m_SubMachine = nullptr;
            else if (mark[static_cast<size_t>(sub)] == 0)
                visit(sub);
        }
        mark[static_cast<size_t>(m)] = 2;
    };
    for (int m = 0; m <= maxSMIndex; ++m)
        if (mark[static_cast<size_t>(m)] == 0)
            visit(m);
}

// State functions and edge functions share one table, whose entries the game gives without
// their types. The first use of an entry in the logic record fixes its kind; a use as the
// other kind would call the function through the wrong type, so it gets no function and is
// reported as a function that cannot be found.
class FunctionKinds {
public:
    StateFunction State(int i) {
        return reinterpret_cast<StateFunction>(Take(i, StateKind, GetStateFunction(i)));
    }
    EdgeFunction Edge(int i) {
        return reinterpret_cast<EdgeFunction>(Take(i, EdgeKind, GetEdgeFunction(i)));
    }

private:
    enum Kind { StateKind, EdgeKind };

    void* Take(int i, Kind kind, void* function) {
        if (!function)
            return nullptr;
        auto [entry, first] = kinds.emplace(i, kind);
        if (first || entry->second == kind)
            return function;
        kiv::ReportUserError("void GenerateLogic()", 4, i);
        return nullptr;
    }

    std::unordered_map<int, Kind> kinds;
};

void ReadTimers(File& f) {
    int n = GetCount(f, 17);
    if (n == 0)
        return;
    delete[] TMArray;
    TMArray = NewTimers(static_cast<unsigned int>(n));
    maxTMIndex = n - 1;
    for (int i = 0; i < n; ++i) {
        auto function = reinterpret_cast<BehaviorFunction>(GetTimerFunction(Get<int>(f)));
        auto delay = Get<unsigned int>(f);
        auto unit = Get<int>(f) == Milliseconds ? Milliseconds : Frames;
        bool running = Get<bool>(f);
        auto mode = Get<unsigned int>(f) == Periodic ? Periodic : Once;
        TMArray[i] = Timer(function, delay, unit, running, mode);
    }
}

void ReadStateMachines(File& f, FunctionKinds& kinds) {
    int n = GetCount(f, 8);
    if (n == 0)
        return;
    delete[] SMArray;
    SMArray = NewStateMachines(static_cast<unsigned int>(n));
    maxSMIndex = n - 1;
    for (int i = 0; i < n; ++i) {
        int states = GetCount(f, 12);
        for (int s = 0; s < states; ++s) {
            StateFunction function = kinds.State(Get<int>(f));
            State state(function, GetStateMachine(Get<int>(f)));
            int edges = GetCount(f, 9);
            for (int e = 0; e < edges; ++e) {
                int to = Get<int>(f);
                EdgeFunction condition = kinds.Edge(Get<int>(f));
                state.AddEdge(Edge(to, condition, Get<bool>(f)));
            }
            SMArray[i].AddState(state);
        }
        SMArray[i].SetStartingState(Get<int>(f));
    }
    BreakNestingCycles();
}

void ReadPathState(File& f, PathStateMachine& machine, FunctionKinds& kinds) {
    StateFunction function = kinds.State(Get<int>(f));
    auto smooth = Get<unsigned int>(f);
    auto key = Get<unsigned char>(f);
    int station = Get<int>(f);
    bool stop = Get<bool>(f);
    State state(function, smooth, key, station, stop, Get<int>(f));
    int edges = GetCount(f, 23);
    for (int e = 0; e < edges; ++e) {
        int to = Get<int>(f);
        EdgeFunction condition = kinds.Edge(Get<int>(f));
        bool always = Get<bool>(f), keepMoving = Get<bool>(f);
        auto edgeKey = Get<unsigned char>(f);
        auto tolerance = Get<unsigned int>(f);
        int edgeStation = Get<int>(f);
        state.AddEdge(
            Edge(to, condition, always, keepMoving, edgeKey, tolerance, edgeStation, Get<int>(f)));
    }
    machine.AddState(state);
}

void ReadPathSegments(File& f, PathStateMachine& machine) {
    if (!Get<bool>(f))
        return;
    int n = GetCount(f, 1);
    for (int i = 0; i < n; ++i) {
        if (!Get<bool>(f))
            continue;
        CollisionSegment first = ReadSegment(f);
        machine.AddCollisionData(first);
        if (Get<bool>(f)) {
            CollisionSegment second = ReadSegment(f);
            machine.AddCollisionData(second);
        }
    }
}

void ReadPathStateMachines(File& f, FunctionKinds& kinds) {
    int n = GetCount(f, 17);
    if (n == 0)
        return;
    delete[] PSMArray;
    PSMArray = NewPathStateMachines(static_cast<unsigned int>(n));
    maxPSMIndex = n - 1;
    for (int i = 0; i < n; ++i) {
        int states = GetCount(f, 22);
        int stations = Get<int>(f);
        if (stations < 0 || stations > kiv::MaxStations)
            kiv::OutOfRange(f, "the number of a path network's stations");
        PathStateMachine machine(stations);
        for (int s = 0; s < states; ++s)
            ReadPathState(f, machine, kinds);
        machine.SetStartingState(Get<int>(f));
        f.Require(static_cast<long>(stations) * 8);
        for (int s = 0; s < stations; ++s) {
            float x = GetCoordinate(f, "a station's position");
            machine.AddStation({x, GetCoordinate(f, "a station's position")});
        }
        int links = GetCount(f, 8);
        for (int l = 0; l < links; ++l) {
            int a = Get<int>(f);
            machine.Link(a, Get<int>(f));
        }
        ReadPathSegments(f, machine);
        machine.ComputeShortestPath();
        PSMArray[i] = machine;
    }
}

void ReadMovementPatterns(File& f) {
    int n = GetCount(f, 8);
    if (n == 0)
        return;
    delete[] MPArray;
    MPArray = NewMovementPatterns(static_cast<unsigned int>(n));
    maxMPIndex = n - 1;
    for (int i = 0; i < n; ++i) {
        MovementPattern& pattern = MPArray[i];
        pattern.Name(GetString(f));
        int vectors = GetCount(f, 8);
        pattern.NumberOfVectors(static_cast<unsigned int>(vectors));
        for (int v = 0; v < vectors; ++v) {
            int dx = Get<int>(f);
            pattern.CalculateVectorPattern(v, dx, Get<int>(f));
        }
    }
}

LevelFunction LevelFunctionAt(unsigned int index) {
    return reinterpret_cast<LevelFunction>(kiv::PointerEntry(LVFArray, index));
}

// A data file's name: a resource of the game by that name, else the file in the Data folder.
String DataFile(const String& name) {
    if (kiv::platform::Resources::Instance().Find("RCDATA", name))
        return name;
    return kiv::DataPath + name;
}

void ReadNetwork(File& f, GameNode& level) {
    auto port = Get<unsigned int>(f);
    auto fallback = Get<unsigned int>(f);
    auto needed = Get<unsigned int>(f);
    auto most = Get<unsigned int>(f);
    level.NetworkLevel(Get<bool>(f));
    unsigned char session[16];
    f.Read(session, 16);
    f.CheckNotCutShort();
    level.NetworkSettings(port, static_cast<int>(fallback), static_cast<int>(needed),
                          static_cast<int>(most), session);
}

void ReadViewport(File& f, GameNode& level) {
    constexpr const char* what = "the viewport's geometry";
    FRECT box;
    box.top = GetCoordinate(f, what);
    box.left = GetCoordinate(f, what);
    box.bottom = GetCoordinate(f, what);
    box.right = GetCoordinate(f, what);
    float x = GetCoordinate(f, what), y = GetCoordinate(f, what);
    float left = GetCoordinate(f, what), top = GetCoordinate(f, what),
          right = GetCoordinate(f, what), bottom = GetCoordinate(f, what);
    float width = GetCoordinate(f, what), height = GetCoordinate(f, what);
    ViewPort& v = level.GetViewPort();
    v.WorldWidth(static_cast<float>(level.WorldWidth()));
    v.WorldHeight(static_cast<float>(level.WorldHeight()));
    v.ViewPortWidth(width);
    v.ViewPortHeight(height);
    v.WorldXPos(x);
    v.WorldYPos(y);
    v.ViewPortScrollingBB(box.left, box.top, box.right - box.left, box.bottom - box.top);
    v.MaxInflateBBLeft(left);
    v.MaxInflateBBTop(top);
    v.MaxInflateBBRight(right);
    v.MaxInflateBBBottom(bottom);
}

void ReadVariables(File& f, GameNode& level) {
    int n = GetCount(f, 10);
    for (int i = 0; i < n; ++i) {
        Variable v;
        v.Name(GetString(f));
        if (Get<bool>(f))
            v = GetString(f).operator const char*();
        else
            v = Get<double>(f);
        kiv::ReadBehaviorList(f, v.GetBehavior());
        level.Add(v);
    }
}

CollisionCircle ReadCircle(File& f) {
    constexpr const char* what = "a collision circle";
    float x = GetCoordinate(f, what), y = GetCoordinate(f, what), radius = GetCoordinate(f, what);
    int id = Get<int>(f);
    return CollisionCircle(x, y, radius, id, Get<unsigned char>(f));
}

// A list of collision shapes, each passed to `add`.
template <class Owner>
void ReadShapes(File& f, Owner& owner) {
    int n = GetCount(f, 1);
    for (int i = 0; i < n; ++i) {
        if (Get<bool>(f))
            owner.AddCollisionData(ReadSegment(f));
        else
            owner.AddCollisionData(ReadCircle(f));
    }
}

void ReadAlarms(File& f, Map& map) {
    int n = GetCount(f, 15);
    for (int i = 0; i < n; ++i) {
        Alarm alarm;
        alarm.Name(GetString(f));
        alarm.Active(Get<bool>(f));
        alarm.ShowCollision(Get<bool>(f));
        alarm.ExecuteOnce(Get<bool>(f));
        int local = Get<int>(f);
        if (local != -1)
            alarm.AddLocalVariable(static_cast<unsigned int>(local));
        ReadShapes(f, alarm);
        map.Add(alarm);
    }
}

// What every kind of map reads after its placement: speeds, transparency and flags.
void ReadLook(File& f, Map& map, bool scrolls) {
    map.SpeedX(GetCoordinate(f, "a map's speed"));
    map.SpeedY(GetCoordinate(f, "a map's speed"));
    if (scrolls) {
        map.ScrollRatioX(GetCoordinate(f, "a map's scroll ratio"));
        map.ScrollRatioY(GetCoordinate(f, "a map's scroll ratio"));
    }
    map.UseTransparency(Get<bool>(f));
    map.TransparencyColor(static_cast<COLORREF>(Get<unsigned int>(f)));
    map.Visible(Get<bool>(f));
    map.Pause(Get<bool>(f));
    map.Unused(Get<bool>(f));
}

void ReadMapLogic(File& f, Map& map, bool collision) {
    if (collision) {
        map.SpacePartitionGridSize(Get<unsigned int>(f));
        map.ShowMapCollision(Get<bool>(f));
    } else {
        map.SpacePartitionGridSize(128);
    }
    kiv::ReadBehaviorList(f, map.GetBehavior());
    if (collision) {
        ReadAlarms(f, map);
        ReadShapes(f, map);
    }
    int local = Get<int>(f);
    if (local != -1)
        map.AddLocalVariable(static_cast<unsigned int>(local));
}

void ReadMaps(File& f, GameNode& level) {
    int n = GetCount(f, 4);
    for (int i = 0; i < n; ++i) {
        int type = Get<int>(f);
        String name = GetString(f), file = GetString(f);
        int zOrder = Get<int>(f);
        if (type == Map::Master) {
            Map map(name, file, Map::Master, zOrder, 0, 0, false, zrect);
            ReadLook(f, map, false);
            ReadMapLogic(f, map, true);
            int music = Get<int>(f);
            level.Add(map);
            if (music == 1)
                level.PlayMidiFile(GetString(f));
            else if (music != 0)
                level.PlayMusic(GetString(f));
            continue;
        }
        int x = GetWholeCoordinate(f, "a map's position");
        int y = GetWholeCoordinate(f, "a map's position");
        bool screenFixed = Get<bool>(f);
        KivRect display = GetCoordinateRect(f, "a map's display rectangle");
        Map map(name, file, type == Map::Wrapped ? Map::Wrapped : Map::Standard, zOrder, x, y,
                screenFixed, display);
        ReadLook(f, map, true);
        ReadMapLogic(f, map, type != Map::Wrapped);
        level.Add(map);
    }
}

void ReadSounds(File& f, GameNode& level) {
    int n = GetCount(f, 13);
    for (int i = 0; i < n; ++i) {
        int kind = Get<int>(f);
        String name = GetString(f), file = GetString(f);
        bool loop = Get<bool>(f);
        // The helpers take writable texts, as games pass them; they do not change them.
        auto* n = const_cast<char*>(name.operator const char*());
        auto* path = const_cast<char*>(file.operator const char*());
        if (kind == 0)
            level.AddSFX(n, path, loop, Get<int>(f));
        else if (kind == 1)
            level.AddMusic(n, path, loop);
        else
            level.AddMidiFile(n, path, loop);
    }
}

void ReadFrame(File& f, FrameElem& frame) {
    frame.m_ImageName = GetString(f);
    frame.m_TranslationX = GetCoordinate(f, "a frame's translation");
    frame.m_TranslationY = GetCoordinate(f, "a frame's translation");
    frame.m_Delay = Get<unsigned int>(f);
    frame.m_Width = Get<int>(f);
    frame.m_Height = Get<int>(f);
    if (!kiv::FrameSizeFits(frame.m_Width, frame.m_Height))
        kiv::OutOfRange(f, "the size of a frame");
    frame.m_TransparentColor = Get<unsigned int>(f);
    frame.m_FlipHorizontally = Get<bool>(f);
    frame.m_FlipVertically = Get<bool>(f);
    frame.m_Extra = Get<int>(f);
    for (KivPoint& p : frame.m_HotSpots[FrameElem::AsDrawn]) {
        p.x = GetWholeCoordinate(f, "a frame's hot spot");
        p.y = GetWholeCoordinate(f, "a frame's hot spot");
    }
    frame.m_BoundingBox[FrameElem::AsDrawn] = GetCoordinateRect(f, "a frame's bounding box");
    frame.m_CenterX = GetCoordinate(f, "a frame's centre");
    frame.m_CenterY = GetCoordinate(f, "a frame's centre");
    frame.m_PegRegistered = Get<bool>(f);
    frame.m_Transparent = Get<bool>(f);
    ReadShapes(f, frame);
    frame.ComputeMirrors();
}

void ReadActor(File& f, SpriteElem& actor, GameNode& level) {
    int animations = GetCount(f, 8);
    actor.Animations(animations);
    for (int a = 0; a < animations; ++a) {
        AnimationElem& animation = actor.m_Animations[a];
        int frames = GetCount(f, 70);
        animation.m_LoopFrame = Get<int>(f);
        if (frames == 0)
            continue;
        animation.Frames(frames);
        if (Get<bool>(f)) {
            String name = GetString(f), file = GetString(f);
            bool loop = Get<bool>(f);
            int percentage = Get<int>(f);
            level.AddSFX(const_cast<char*>(name.operator const char*()),
                         const_cast<char*>(file.operator const char*()), loop, percentage);
            animation.m_Sound = Sound::Search(name);
            animation.m_LoopSound = Get<bool>(f);
            animation.m_SoundEnabled = Get<bool>(f);
        }
        for (int i = 0; i < frames; ++i)
            ReadFrame(f, animation.m_Frames[i]);
    }
}

void ReadParticleSystems(File& f, GameNode& level) {
    int n = GetCount(f, 34);
    unsigned int room = kiv::MaxParticles; // beyond it the data is damaged
    for (int i = 0; i < n; ++i) {
        auto count = Get<unsigned int>(f);
        int init = Get<int>(f), update = Get<int>(f);
        if (count > room)
            kiv::OutOfRange(f, "the number of particles");
        room -= count;
        String name = GetString(f), map = GetString(f);
        float gravity = GetCoordinate(f, "a particle system's gravity");
        float x = GetCoordinate(f, "a particle system's position");
        float y = GetCoordinate(f, "a particle system's position");
        bool unused = Get<bool>(f), paused = Get<bool>(f);
        auto* system = new ParticleSystem(count, init, update);
        system->Name(name);
        if (!map.empty())
            system->BelongToMap(map);
        system->Gravity(gravity);
        system->MapPosition(x, y);
        system->Unused(unused);
        system->Pause(paused);
        level.Add(system);
    }
}

} // namespace

void CreateBinaryGameFile(const char* name) {
    delete _GameFile;
    _GameFile = new File(DataFile(name), File::Reading);
}

void GenerateMode() {
    int width = Get<int>(GameData()), height = Get<int>(GameData());
    SetMode(width, height, Get<int>(GameData()));
    _IsWindowed = Get<bool>(GameData());
    _IsScreenSaver = Get<bool>(GameData());
    GameData().CheckNotCutShort();
}

void GenerateLevels() {
    File& f = GameData();
    kiv::ReadBehaviorList(f, myGame->GetBehavior());
    int n = GetCount(f, 24);
    for (int i = 0; i < n; ++i) {
        // Owned here until the game takes it: a damaged record may end the read half way.
        std::unique_ptr<GameNode> level(NewGameNode());
        level->Id(Get<int>(f));
        level->Name(GetString(f));
        LevelFunction first = LevelFunctionAt(Get<unsigned int>(f));
        level->LoadFunctions(first, LevelFunctionAt(Get<unsigned int>(f)));
        level->ExitFunction(LevelFunctionAt(Get<unsigned int>(f)));
        level->EndFunction(LevelFunctionAt(Get<unsigned int>(f)));
        level->LevelFile(DataFile(GetString(f)));
        if (myGame->Add(level.get()) == level.get())
            level.release(); // otherwise a level with that Id is already in the game
    }
    myGame->Title(GetString(f));
    int local = Get<int>(f);
    if (local != -1)
        myGame->AddLocalVariable(static_cast<unsigned int>(local));
    f.CheckNotCutShort();
}

void GenerateLogic() {
    FunctionKinds kinds;
    ReadTimers(GameData());
    ReadStateMachines(GameData(), kinds);
    ReadPathStateMachines(GameData(), kinds);
    ReadMovementPatterns(GameData());
    GameData().CheckNotCutShort();
}

void GenerateLevel(GameNode* level) {
    File& f = LevelData();
    auto consoleColor = Get<unsigned int>(f);
    if (pConsole)
        pConsole->Color(consoleColor);
    ReadNetwork(f, *level);
    level->WorldWidth(GetExtent(f, "the world's width"));
    level->WorldHeight(GetExtent(f, "the world's height"));
    level->FPStoMS(Get<unsigned int>(f));
    level->QuitOnEscape(Get<bool>(f));
    level->ShowScrollingBoundingBox(Get<bool>(f));
    ReadViewport(f, *level);
    kiv::ReadBehaviorList(f, level->GetBehavior());
    level->PaletteName(GetString(f));
    int local = Get<int>(f);
    if (local != -1)
        level->AddLocalVariable(static_cast<unsigned int>(local));
    kiv::ReadCursorRecord(f);
    ReadSounds(f, *level);
    ReadVariables(f, *level);
    ReadMaps(f, *level);
    int sprites = GetCount(f, 80);
    for (int i = 0; i < sprites; ++i)
        kiv::ReadSpriteRecord(f, *level);
    int texts = GetCount(f, 100);
    for (int i = 0; i < texts; ++i)
        kiv::ReadTextVariable(f, *level);
    ReadParticleSystems(f, *level);
    f.CheckNotCutShort();
}

void GenerateActors(GameNode* level) {
    File& f = LevelData();
    int actors = GetCount(f, 8);
    for (int i = 0; i < actors; ++i) {
        int index = Get<int>(f);
        // An actor number outside the table is damaged data: read and dropped.
        SpriteElem spare;
        bool stored = index >= 0 && index < SpriteElem::MaxActors;
        ReadActor(f, stored ? SpriteList[index] : spare, *level);
    }
    f.CheckNotCutShort();
    kiv::ApplyWaitingPlayback();
}
