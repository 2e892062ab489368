#include "SaveDump.h"

#include "platform/Cp1252.h"
#include "platform/KeyNames.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

namespace kiv::tools {

namespace {

constexpr size_t MagicLength = 7;
constexpr size_t ClassNameField = 32;

// The records of the objects a save holds, as lists of "type:name" fields read in order.
// Types: b bool, c byte, i int, u unsigned int, f float, d double, s string, R rectangle
// (left, top, right, bottom), F float rectangle (top, left, bottom, right), @ object
// reference, B behavior, L list; xN N raw bytes (hexadecimal), nN a name in N raw bytes;
// {Class} that class's record written in place; ?t a bool, then t when it is true; *t an
// unsigned count, then that many t; Nt exactly N of t.
const char* const SoundBase = "s:name s:file i:volume i:pan i:bytesRead i:id u:playPosition "
                              "b:loop b:pausedBySystem b:streamed";

const std::map<std::string_view, std::string> Layouts = {
    {"CollisionSegment",
     "f:originX f:originY f:directionX f:directionY f:magnitudeX f:magnitudeY i:id "
     "f:contactNormalX f:contactNormalY f:normalX f:normalY f:hitFraction c:attributes b:inside "
     "i:extra"},
    {"CollisionCircle",
     "f:x f:y f:radius i:id f:contactNormalX f:contactNormalY f:hitFraction c:attributes"},
    {"StateMachineTraverser", "i:machine i:state i:entry b:stateSet @:child"},
    {"PathStateMachineTraverser", "i:machine i:state i:entry b:stateSet b:shortPath "
                                  "i:pathLength *i:path *b:nextStation i:pathMachine b:enabled"},
    {"Timer", "b:running u:unit u:remaining u:reload i:mode i:function"},
    {"Alarm", "B:behavior i:id s:name b:active L:shapes @:sprite i:onceState b:showCollision "
              "i:localVariableIndex @:localVariable"},
    {"Map", "B:behavior i:id s:name s:file b:master u:height u:width i:gridRows i:gridColumns "
            "f:worldX f:worldY f:viewportX f:viewportY i:rangeX i:rangeY i:zOrder b:visible "
            "f:scrollRatioX f:scrollRatioY f:speedX f:speedY u:transparencyColor R:imageRect "
            "R:placedRect R:sourceRect R:destinationRect R:displayRect b:screenFixed b:pause "
            "u:blitFlags i:type b:reserved i:alarmCount i:alarmMaximum b:showCollision "
            "i:gridSize b:unused L:alarms L:shapes ?x264:wrapBlock i:localVariableIndex "
            "@:localVariable"},
    {"Sprite",
     "s:name B:behavior @:pathTraverser i:id b:deleteFlag @:map f:x f:y i:viewportX "
     "i:viewportY f:scaleX f:scaleY f:collisionValue u:appliedZOrder i:animation i:frame "
     "u:delay i:actor b:checkCollisionWithSprite b:collisionWithMap b:visible b:mainCharacter "
     "b:checkCollisionWithMap i:requestedAnimation i:previousAnimation i:displayList "
     "f:translationX f:translationY b:reflection b:shownHFlip b:shownVFlip b:requestedHFlip "
     "b:requestedVFlip b:lastHFlip b:lastVFlip b:flipInitialised b:autoFlip i:orientation "
     "i:previousOrientation b:canned b:pause f:cannedFactorX f:cannedFactorY f:directionX "
     "f:directionY b:cannedHDirection b:cannedVDirection b:doNotCutDirection f:speed "
     "f:moveFraction {CollisionSegment}:lastSegment b:checkSameDisplayList "
     "b:ghostCollisionWithSprite b:ghostCollisionWithMap b:gravity 6f:gravityState "
     "i:gravityTime f:impactSpeed f:gravityFriction *{Variable}:variables b:unused f:friction "
     "*@:alarms i:alarmMaximum *s:touchedNames *@:ownShapesTouched *@:mapShapesTouched "
     "*@:otherShapesTouched *@:spritesTouched b:collisionType b:showSpriteCollision "
     "b:showSpriteBoundingBox b:showVectorOfTranslation i:previousFrame b:pegRegistered "
     "u:zOrder b:restartSound @:followedSegment i:pathFollowing b:showPath b:pathReEnable "
     "b:collisionWithPath b:pendingMove f:savedSpeed f:pendingX f:pendingY "
     "i:pathReEnableCounter b:activateCollisionWithSprite i:movementPattern 4f:patternState "
     "i:patternVector f:patternDistance b:patternLoop b:patternReturn b:showMovementPattern "
     "f:patternStartX f:patternStartY i:localVariableIndex @:localVariable"},
    {"VariableDisplay",
     "b:onlyIntegerPart b:pause i:id n50:numberText ?n32:map b:inWorld b:visible s:fontName "
     "i:fontWidth f:fontHeight i:fontWeight i:italic i:strikeOut i:underline u:color "
     "R:mapRect u:frameColor u:arrowsColor b:showFrame i:hScrollPosition i:vScrollPosition "
     "i:hDeltaScroll i:vDeltaScroll b:leadingSpaces i:longestLineSize i:largestBlock "
     "i:numberOfLines R:frame R:rightArrow R:leftArrow R:upArrow R:downArrow i:visibleLines "
     "i:lineSpacing i:letterSpacing i:leftMargin i:topMargin i:arrowsSize i:arrowsHOffset "
     "i:arrowsVOffset u:textLength b:effectTextPending i:effectPosition i:effectCount "
     "i:displayType i:effect i:hScrollRightKey i:hScrollLeftKey i:vScrollUpKey "
     "i:vScrollDownKey b:hScrollTriggered b:vScrollTriggered b:activateOutOfViewport "
     "i:hScrollLimit i:vScrollLimit b:topMost b:unused i:characterDelay "
     "i:characterCountdown i:lineDelay i:lineCountdown i:effectLine ?n32:letterSound "
     "b:indexArrayReady b:reserved b:effectDone i:frameWidth i:frameHeight i:penX "
     "i:localVariableIndex @:localVariable"},
    {"KivCursor", "s:name b:collisionType u:actor B:behavior u:viewportX u:viewportY "
                  "i:localVariableIndex @:localVariable"},
    {"SoundBase", SoundBase},
    {"Sound", std::string(SoundBase) + " i:playPercentage b:playing u:position"},
    {"StreamedSound", std::string(SoundBase) + " u:lastPlayPosition u:halfSize u:endPosition "
                                               "b:ending b:playing u:position"},
    {"MidiFile", "s:name s:file b:loop b:pausedBySystem i:id i:volume b:playRequested "
                 "i:musicTime"},
    {"ParticleSystem", "*x172:particles @:map s:name f:x f:y f:gravity b:alive b:unused "
                       "u:count b:pause i:initFunction i:updateFunction"},
    {"ViewPort", "f:worldWidth f:worldHeight f:maxWorldX f:maxWorldY F:world F:nextWorld "
                 "F:boundingBox F:screen f:previousStepX f:previousStepY f:latestStepX "
                 "f:latestStepY F:initialBoundingBox f:maxInflateRight f:maxInflateLeft "
                 "f:maxInflateTop f:maxInflateBottom f:inflateRight f:inflateLeft f:inflateTop "
                 "f:inflateBottom"},
    {"Random", "i:iy i:idum 32i:table"},
    {"KeyFrame", "*c:codes"},
    {"MouseFrames", "*c:mouseFlags *3i:mouseSteps"},
    {"Mouse", "f:sensitivity i:x i:y i:relX i:relY i:wheel R:motionRect b:movedX b:movedY "
              "u:doubleClickAccuracy u:windowLow u:windowHigh b:doubleClicked0 "
              "b:doubleClicked1 u:firstClick0 u:firstClick1 u:frameCounter"},
    {"GammaRamp", "i:kind i:frame i:hold i:duration b:running x1536:ramp f:step b:restore"},
    {"OpenClose", "u:color i:kind i:frame i:duration b:running f:step f:stepX f:stepY f:radius "
                  "i:hold"},
    {"RandomDissolveSize", "i:columns i:rows i:cellsPerFrame"},
    {"RandomDissolve", "u:color i:frame i:hold i:duration b:running i:kind {Random}:random"},
    {"GameNode",
     "u:worldWidth u:worldHeight B:behavior {Mouse}:mouse u:framesPerSecond u:msPerFrame "
     "@:mainCharacter b:cursorExists s:palette b:showScrollingBoundingBox b:quitOnEscape "
     "i:spriteCount i:mapCount i:variableCount i:soundCount i:streamedSoundCount "
     "i:midiFileCount i:particleSystemCount L:maps 16L:displayLists L:variables L:sounds "
     "L:streamedSounds L:midiFiles L:particleSystems {ViewPort}:viewport ?{KivCursor}:cursor "
     "b:showCursor b:exitCalled i:levelNumber b:levelChangePending {GammaRamp}:gammaRamp "
     "{OpenClose}:openClose {RandomDissolve}:randomDissolve {Random}:floatGenerator "
     "{Random}:intGenerator {Random}:textGenerator B:gameBehavior b:windowed s:title "
     "i:gameLocalVariableIndex @:gameLocalVariable i:localVariableIndex @:localVariable"},
};

std::string Hex(const unsigned char* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text += {digits[p[i] >> 4], digits[p[i] & 15]};
    return text;
}

class SaveReader {
public:
    SaveReader(const std::vector<unsigned char>& bytes, std::string file, size_t start)
        : data(bytes), name(std::move(file)), position(start) {}

    bool AtEnd() const { return position == data.size(); }

    std::uint32_t U32() {
        const unsigned char* p = Take(4);
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }

    Json Record(std::string_view className) {
        if (className == "Behavior")
            return Behavior();
        if (className == "Variable")
            return Variable();
        if (className == "RandomDissolve")
            return RandomDissolve();
        auto layout = Layouts.find(className);
        if (layout == Layouts.end())
            throw Fault("no record is known for the class \"" + std::string(className) + "\"");
        Json object = Json::object();
        Fields(object, layout->second);
        return object;
    }

private:
    DataError Fault(const std::string& what) const {
        return DataError(name + ", offset " + std::to_string(position) + ": " + what);
    }

    const unsigned char* Take(size_t n) {
        if (n > data.size() - position)
            throw Fault("the file ends inside a record");
        const unsigned char* p = data.data() + position;
        position += n;
        return p;
    }

    void Fields(Json& object, std::string_view layout) {
        while (!layout.empty()) {
            size_t end = layout.find(' ');
            std::string_view field = layout.substr(0, end);
            layout = end == std::string_view::npos ? std::string_view() : layout.substr(end + 1);
            size_t colon = field.rfind(':');
            object[std::string(field.substr(colon + 1))] = Value(field.substr(0, colon));
        }
    }

    Json Value(std::string_view type) {
        if (type[0] == '?')
            return Take(1)[0] ? Value(type.substr(1)) : Json();
        if (type[0] == '*')
            return Repeated(U32(), type.substr(1));
        if (type[0] >= '0' && type[0] <= '9') {
            size_t digits = type.find_first_not_of("0123456789");
            return Repeated(std::stoul(std::string(type.substr(0, digits))), type.substr(digits));
        }
        if (type[0] == '{')
            return Record(type.substr(1, type.size() - 2));
        if (type[0] == 'x' || type[0] == 'n') {
            size_t n = std::stoul(std::string(type.substr(1)));
            const unsigned char* p = Take(n);
            if (type[0] == 'x')
                return Hex(p, n);
            return Text(p, strnlen(reinterpret_cast<const char*>(p), n));
        }
        return Primitive(type[0]);
    }

    Json Primitive(char type) {
        switch (type) {
        case 'b':
            return Take(1)[0] != 0;
        case 'c':
            return Take(1)[0];
        case 'i':
            return static_cast<std::int32_t>(U32());
        case 'u':
            return U32();
        case 'f':
        case 'd': {
            std::uint64_t bits = U32();
            if (type == 'f') {
                float v;
                auto low = static_cast<std::uint32_t>(bits);
                std::memcpy(&v, &low, 4);
                return v;
            }
            bits |= static_cast<std::uint64_t>(U32()) << 32;
            double v;
            std::memcpy(&v, &bits, 8);
            return v;
        }
        case 's': {
            std::uint32_t n = U32();
            const unsigned char* p = Take(n);
            return Text(p, n);
        }
        case 'R':
            return Box({"left", "top", "right", "bottom"}, 'i');
        case 'F':
            return Box({"top", "left", "bottom", "right"}, 'f');
        case '@':
            return Reference();
        case 'B':
            return Behavior();
        case 'L':
            return Repeated(U32(), "@");
        default:
            throw Fault(std::string("unknown field type ") + type);
        }
    }

    // Texts are in code page 1252.
    static Json Text(const unsigned char* p, size_t n) {
        return platform::Utf8FromCp1252(std::string(reinterpret_cast<const char*>(p), n).c_str());
    }

    Json Box(std::initializer_list<const char*> sides, char type) {
        Json box = Json::object();
        for (const char* side : sides)
            box[side] = Primitive(type);
        return box;
    }

    // A count of elements that cannot all fit in what is left is damage, found before any is
    // read: a search for the level record meets many such counts in the game's own bytes.
    void CheckCount(size_t n, size_t elementSize) const {
        if (n > (data.size() - position) / elementSize)
            throw Fault("a count of " + std::to_string(n) + " is more than the file holds");
    }

    // The fewest bytes an element of the type takes.
    static size_t LeastSize(std::string_view type) {
        switch (type.size() == 1 ? type[0] : '\0') {
        case 'i':
        case 'u':
        case 'f':
        case '@': // at least the null reference
            return 4;
        case 'd':
            return 8;
        default:
            return 1;
        }
    }

    Json Repeated(size_t n, std::string_view type) {
        CheckCount(n, LeastSize(type));
        Json list = Json::array();
        for (size_t i = 0; i < n; ++i)
            list.push_back(Value(type));
        return list;
    }

    // Null, an object met before (by its number), or a new object with its record.
    Json Reference() {
        size_t start = position;
        if (U32() == 0)
            return nullptr;
        position = start;
        const unsigned char* field = Take(ClassNameField);
        std::string className(reinterpret_cast<const char*>(field),
                              strnlen(reinterpret_cast<const char*>(field), ClassNameField));
        auto number = static_cast<std::int32_t>(U32());
        Json ref = {{"class", className}, {"object", number}};
        if (!known.insert(number).second)
            return ref;
        if (++depth > 1000)
            throw Fault("objects nested too deep");
        ref.update(Record(className));
        --depth;
        return ref;
    }

    Json Behavior() {
        Json behavior = {{"items", Json::array()}};
        std::uint32_t items = U32();
        CheckCount(items, 4);
        for (std::uint32_t i = 0; i < items; ++i) {
            Json item = {{"index", static_cast<std::int32_t>(U32())}};
            if (item["index"].get<int>() >= 0) {
                Fields(item, "b:active i:kind");
                int kind = item["kind"].get<int>();
                if (kind == 1)
                    item["traverser"] = Reference();
                else if (kind == 2)
                    item["timer"] = Record("Timer");
            }
            behavior["items"].push_back(item);
        }
        Fields(behavior, "*i:functionSlots *i:machineSlots *i:timerSlots");
        return behavior;
    }

    // The covered cells, column after column, sit between the grid's size and the rest.
    Json RandomDissolve() {
        Json dissolve = Json::object();
        Fields(dissolve, Layouts.at("RandomDissolveSize"));
        long long cells = dissolve["columns"].get<long long>() * dissolve["rows"].get<long long>();
        if (cells < 0 || static_cast<unsigned long long>(cells) > data.size() - position)
            throw Fault("a grid of " + std::to_string(cells) +
                        " cells is more than the file holds");
        dissolve["covered"] = Hex(Take(static_cast<size_t>(cells)), static_cast<size_t>(cells));
        Fields(dissolve, Layouts.at("RandomDissolve"));
        return dissolve;
    }

    Json Variable() {
        Json variable = Json::object();
        Fields(variable, "B:behavior s:name i:kind");
        switch (variable["kind"].get<int>()) {
        case 0:
            variable["value"] = Primitive('d');
            break;
        case 1:
            variable["value"] = Reference();
            break;
        case 2:
            variable["value"] = Primitive('s');
            break;
        default:
            break;
        }
        Fields(variable, Layouts.at("VariableDisplay"));
        return variable;
    }

    const std::vector<unsigned char>& data;
    std::string name;
    size_t position;
    std::set<std::int32_t> known;
    int depth = 0;
};

std::string Magic(const std::vector<unsigned char>& bytes, const std::string& file,
                  std::initializer_list<const char*> expected) {
    std::string magic(reinterpret_cast<const char*>(bytes.data()),
                      std::min(bytes.size(), MagicLength));
    for (const char* word : expected)
        if (magic == word)
            return magic;
    throw DataError(file + ": not a file of this kind (it starts with \"" + magic + "\")");
}

} // namespace

Json DumpSave(const std::vector<unsigned char>& bytes, const std::string& fileName) {
    std::string magic = Magic(bytes, fileName, {"KIV_SAV", "KIV_SAR"});
    std::string lastFault = fileName + ": no level record";
    for (size_t start = MagicLength; start + 4 <= bytes.size(); ++start) {
        try {
            SaveReader reader(bytes, fileName, start);
            auto level = static_cast<std::int32_t>(reader.U32());
            Json record = reader.Record("GameNode");
            if (!reader.AtEnd())
                continue;
            return {{"magic", magic},
                    {"gameData", Hex(bytes.data() + MagicLength, start - MagicLength)},
                    {"level", level},
                    {"record", record}};
        } catch (const DataError& e) {
            if (start == MagicLength) // what goes wrong when the game wrote nothing of its own
                lastFault = e.what();
        }
    }
    throw DataError(lastFault);
}

Json DumpReplay(const std::vector<unsigned char>& bytes, const std::string& fileName) {
    Json replay = {{"magic", Magic(bytes, fileName, {"KIV_REP"})}};
    SaveReader reader(bytes, fileName, MagicLength);
    Json frames = Json::array();
    std::uint32_t count = reader.U32();
    for (std::uint32_t i = 0; i < count; ++i) {
        Json keys = Json::array();
        Json frame = reader.Record("KeyFrame");
        for (const Json& code : frame["codes"]) {
            const char* key = platform::KeyName(code.get<std::uint8_t>());
            keys.push_back(key ? Json(key) : code);
        }
        frames.push_back(keys);
    }
    replay["keys"] = frames;
    replay.update(reader.Record("MouseFrames"));
    if (!reader.AtEnd())
        throw DataError(fileName + ": bytes left over after the recorded input");
    return replay;
}

} // namespace kiv::tools
