#include "CrossReferences.h"

#include <map>
#include <set>

namespace kiv::tools {

namespace {

const Json& Field(const Json& object, const char* key) {
    static const Json absent;
    auto it = object.is_object() ? object.find(key) : object.end();
    return it != object.end() ? *it : absent;
}

const Json& Array(const Json& object, const char* key) {
    static const Json empty = Json::array();
    const Json& a = Field(object, key);
    return a.is_array() ? a : empty;
}

// An integer field (given by number or, for named values, by name), or `fallback`.
long long Number(const Json& object, const char* key, long long fallback,
                 std::vector<std::string> names = {}) {
    const Json& v = Field(object, key);
    if (v.is_number_integer())
        return v.get<long long>();
    for (size_t i = 0; v.is_string() && i < names.size(); ++i)
        if (v.get<std::string>() == names[i])
            return static_cast<long long>(i);
    return fallback;
}

std::string Text(const Json& object, const char* key) {
    const Json& v = Field(object, key);
    return v.is_string() ? v.get<std::string>() : "";
}

std::string At(const std::string& path, size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

class Checker {
public:
    explicit Checker(const Json& d) : logic(Field(d, "logic")) {
        for (const Json& level : Array(Field(d, "game"), "levels"))
            for (const Json& actor : Array(Field(level, "actors"), "actors"))
                actors.emplace(Number(actor, "index", -1), &actor);
    }

    void Game(const Json& game) {
        Behavior(game, "game");
        const Json& levels = Array(game, "levels");
        for (size_t i = 0; i < levels.size(); ++i)
            if (levels[i].contains("level"))
                Level(levels[i]["level"], At("game.levels", i) + ".level");
        StateMachines();
        PathStateMachines();
    }

    std::vector<std::string> problems;

private:
    void Report(const std::string& path, const std::string& what) {
        problems.push_back(path + ": " + what);
    }

    // `value` at `path` must be an index below `count` (or -1 when `none` allows it).
    void Index(long long value, size_t count, const std::string& path, const std::string& what,
               bool none = false) {
        if ((none && value == -1) || (value >= 0 && static_cast<size_t>(value) < count))
            return;
        Report(path, "no " + what + " " + std::to_string(value) + " (there are " +
                         std::to_string(count) + ")");
    }

    void Name(const std::string& name, const std::set<std::string>& known,
              const std::string& path, const std::string& what) {
        if (!name.empty() && !known.count(name))
            Report(path, "no " + what + " named \"" + name + "\" in this level");
    }

    void Behavior(const Json& owner, const std::string& path) {
        const Json& list = Array(owner, "behavior");
        for (size_t i = 0; i < list.size(); ++i) {
            long long kind = Number(list[i], "kind", -1, {"function", "stateMachine", "timer"});
            long long index = Number(list[i], "index", -1);
            std::string at = At(path + ".behavior", i) + ".index";
            if (kind == 1)
                Index(index, Array(logic, "stateMachines").size(), at, "state machine");
            else if (kind == 2)
                Index(index, Array(logic, "timers").size(), at, "timer");
        }
    }

    // Names given twice in one list of the level.
    void Unique(const Json& list, const std::string& path, std::map<std::string, std::string>& seen,
                const std::string& what) {
        for (size_t i = 0; i < list.size(); ++i) {
            std::string name = Text(list[i], "name");
            if (name.empty())
                continue;
            auto [first, isNew] = seen.emplace(name, At(path, i));
            if (!isNew)
                Report(At(path, i) + ".name",
                       "another " + what + " is named \"" + name + "\" (" + first->second + ")");
        }
    }

    static std::set<std::string> Names(const Json& list) {
        std::set<std::string> names;
        for (const Json& entry : list)
            names.insert(Text(entry, "name"));
        return names;
    }

    void Level(const Json& level, const std::string& path) {
        const Json &maps = Array(level, "maps"), &sprites = Array(level, "sprites");
        const Json &texts = Array(level, "texts"), &sounds = Array(level, "sounds");
        std::map<std::string, std::string> seenMaps, seenSprites, seenTexts, seenSounds;
        Unique(maps, path + ".maps", seenMaps, "map");
        Unique(sprites, path + ".sprites", seenSprites, "sprite");
        Unique(Array(level, "variables"), path + ".variables", seenTexts, "variable or text");
        Unique(texts, path + ".texts", seenTexts, "variable or text");
        Unique(sounds, path + ".sounds", seenSounds, "sound");

        std::set<std::string> mapNames = Names(maps), soundNames = Names(sounds), alarms;
        Behavior(level, path);
        if (level.contains("cursor"))
            Behavior(level["cursor"], path + ".cursor");
        for (size_t i = 0; i < maps.size(); ++i) {
            Behavior(maps[i], At(path + ".maps", i));
            for (const Json& alarm : Array(maps[i], "alarms"))
                alarms.insert(Text(alarm, "name"));
            if (Number(maps[i], "musicKind", 0, {"none", "midi", "streamed"}) != 0)
                Name(Text(maps[i], "music"), soundNames, At(path + ".maps", i) + ".music",
                     "sound");
        }
        for (size_t i = 0; i < Array(level, "variables").size(); ++i)
            Behavior(level["variables"][i], At(path + ".variables", i));
        for (size_t i = 0; i < sprites.size(); ++i)
            Sprite(sprites[i], At(path + ".sprites", i), mapNames, alarms);
        for (size_t i = 0; i < texts.size(); ++i) {
            std::string at = At(path + ".texts", i);
            Behavior(texts[i], at);
            if (Field(texts[i], "onMap") == true)
                Name(Text(texts[i], "map"), mapNames, at + ".map", "map");
            if (texts[i].contains("letterSound"))
                Name(Text(texts[i], "letterSound"), soundNames, at + ".letterSound", "sound");
        }
        const Json& particles = Array(level, "particleSystems");
        for (size_t i = 0; i < particles.size(); ++i)
            Name(Text(particles[i], "map"), mapNames, At(path + ".particleSystems", i) + ".map",
                 "map");
    }

    void Sprite(const Json& sprite, const std::string& path, const std::set<std::string>& maps,
                const std::set<std::string>& alarms) {
        Behavior(sprite, path);
        Name(Text(sprite, "map"), maps, path + ".map", "map");
        const Json& alarmNames = Array(sprite, "alarms");
        for (size_t i = 0; i < alarmNames.size(); ++i)
            if (alarmNames[i].is_string())
                Name(alarmNames[i].get<std::string>(), alarms, At(path + ".alarms", i), "alarm");
        Actor(sprite, path);
        const Json& paths = Array(logic, "pathStateMachines");
        if (const Json& p = Field(sprite, "path"); p.is_object()) {
            long long machine = Number(p, "machine", -1);
            Index(machine, paths.size(), path + ".path.machine", "path state machine");
            if (machine >= 0 && static_cast<size_t>(machine) < paths.size())
                Index(Number(p, "state", 0), Array(paths[machine], "states").size(),
                      path + ".path.state", "state");
        }
        if (const Json& m = Field(sprite, "movementPattern"); m.is_object())
            Index(Number(m, "pattern", -1), Array(logic, "movementPatterns").size(),
                  path + ".movementPattern.pattern", "movement pattern");
    }

    // The actor, animation and frame a sprite starts with, in the actor table that the
    // levels' actor records fill.
    void Actor(const Json& sprite, const std::string& path) {
        long long index = Number(sprite, "actor", -1);
        auto actor = actors.find(index);
        if (actor == actors.end()) {
            Report(path + ".actor", "no level's actor record defines actor " +
                                        std::to_string(index));
            return;
        }
        const Json& animations = Array(*actor->second, "animations");
        long long animation = Number(sprite, "animation", 0);
        Index(animation, animations.size(), path + ".animation", "animation");
        if (animation >= 0 && static_cast<size_t>(animation) < animations.size())
            Index(Number(sprite, "frame", 0), Array(animations[animation], "frames").size(),
                  path + ".frame", "frame");
    }

    // Edges lead to states of their own machine; sub machines are machines of the table.
    void StateMachines() {
        const Json& machines = Array(logic, "stateMachines");
        for (size_t m = 0; m < machines.size(); ++m) {
            std::string at = At("logic.stateMachines", m);
            const Json& states = Array(machines[m], "states");
            Index(Number(machines[m], "startingState", 0), states.size(), at + ".startingState",
                  "state");
            for (size_t s = 0; s < states.size(); ++s) {
                std::string state = At(at + ".states", s);
                Index(Number(states[s], "subMachine", -1), machines.size(),
                      state + ".subMachine", "state machine", true);
                const Json& edges = Array(states[s], "edges");
                for (size_t e = 0; e < edges.size(); ++e)
                    Index(Number(edges[e], "to", -1), states.size(),
                          At(state + ".edges", e) + ".to", "state");
            }
        }
    }

    void PathStateMachines() {
        const Json& machines = Array(logic, "pathStateMachines");
        for (size_t m = 0; m < machines.size(); ++m) {
            std::string at = At("logic.pathStateMachines", m);
            const Json& states = Array(machines[m], "states");
            size_t stations = Array(machines[m], "stations").size();
            Index(Number(machines[m], "startingState", 0), states.size(), at + ".startingState",
                  "state");
            for (size_t s = 0; s < states.size(); ++s) {
                std::string state = At(at + ".states", s);
                if (stations)
                    Index(Number(states[s], "station", 0), stations, state + ".station",
                          "station");
                const Json& edges = Array(states[s], "edges");
                for (size_t e = 0; e < edges.size(); ++e) {
                    std::string edge = At(state + ".edges", e);
                    Index(Number(edges[e], "to", 0), states.size(), edge + ".to", "state");
                    Index(Number(edges[e], "station", -1), stations, edge + ".station", "station",
                          true);
                }
            }
            const Json& links = Array(machines[m], "links");
            for (size_t l = 0; l < links.size(); ++l)
                for (const char* end : {"from", "to"})
                    Index(Number(links[l], end, -1), stations,
                          At(at + ".links", l) + "." + end, "station");
        }
    }

    const Json& logic;
    std::map<long long, const Json*> actors; // the first record of each actor index
};

} // namespace

std::vector<std::string> CrossReferenceProblems(const Json& description) {
    Checker checker(description);
    checker.Game(Field(description, "game"));
    return checker.problems;
}

} // namespace kiv::tools
