#include "Records.h"

#include "data/DataLimits.h"

namespace kiv::tools {

namespace {

constexpr std::uint32_t None = 0xFFFFFFFFu;

// An unsigned size or step, within the coordinates the runtime accepts.
Item Extent(std::string key, Json fallback) {
    return InRange(Value(std::move(key), Type::U32, std::move(fallback)), 0, MaxCoordinate);
}

Item Behavior() {
    return List(
        "behavior",
        {Closed(Switch(Named("kind", Type::I32, {"function", "stateMachine", "timer"}),
                       {{0, {Value("index", Type::U32), Value("active", Type::Bool, true)}},
                        {1, {Value("index", Type::U32), Value("active", Type::Bool, true)}},
                        {2, {Value("index", Type::U32), Value("active", Type::Bool, true)}}}))});
}

Layout Segment() {
    return {Coordinate("x1", Type::F32), Coordinate("y1", Type::F32),
            Coordinate("x2", Type::F32), Coordinate("y2", Type::F32),
            Value("id", Type::I32, 0),   Value("attributes", Type::U8, 0),
            Value("extra", Type::I32, 0)};
}

Layout Circle() {
    return {Coordinate("x", Type::F32), Coordinate("y", Type::F32), Coordinate("radius", Type::F32),
            Value("id", Type::I32, 0), Value("attributes", Type::U8, 0)};
}

// A list of collision shapes: each a segment or a circle.
Item Shapes(std::string key) {
    return List(std::move(key), {Switch(Value("isSegment", Type::Bool, true),
                                        {{true, Segment()}, {false, Circle()}})});
}

Item Alarms() {
    return List("alarms",
                {Value("name", Type::String), Value("active", Type::Bool, true),
                 Value("showCollision", Type::Bool, false), Value("executeOnce", Type::Bool, false),
                 Value("localVariable", Type::I32, -1), Shapes("shapes")});
}

Layout MapPlacement() {
    return {Value("name", Type::String),
            Value("file", Type::String),
            Value("zOrder", Type::I32, 0),
            Coordinate("x", Type::I32, 0),
            Coordinate("y", Type::I32, 0),
            Value("screenFixed", Type::Bool, false),
            Coordinate("displayRect", Type::Rect, Json::object()),
            Coordinate("speedX", Type::F32, 0),
            Coordinate("speedY", Type::F32, 0),
            Coordinate("scrollRatioX", Type::F32, 0),
            Coordinate("scrollRatioY", Type::F32, 0),
            Value("useTransparency", Type::Bool, false),
            Value("transparencyColor", Type::U32, 0),
            Value("visible", Type::Bool, true),
            Value("paused", Type::Bool, false),
            Value("unused", Type::Bool, false)};
}

Layout MapFlags() {
    return {Value("gridSize", Type::I32, 128), Value("showMapCollision", Type::Bool, false)};
}

Layout Then(Layout a, const Layout& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Item Maps() {
    Layout master =
        Then({Value("name", Type::String), Value("file", Type::String),
              Value("zOrder", Type::I32, 0), Coordinate("speedX", Type::F32, 0),
              Coordinate("speedY", Type::F32, 0), Value("useTransparency", Type::Bool, false),
              Value("transparencyColor", Type::U32, 0), Value("visible", Type::Bool, true),
              Value("paused", Type::Bool, false), Value("unused", Type::Bool, false)},
             Then(MapFlags(),
                  {Behavior(), Alarms(), Shapes("collision"), Value("localVariable", Type::I32, -1),
                   Switch(Named("musicKind", Type::I32, {"none", "midi", "streamed"}, 0), {{0, {}}},
                          {Value("music", Type::String)})}));
    Layout standard =
        Then(MapPlacement(), Then(MapFlags(), {Behavior(), Alarms(), Shapes("collision"),
                                               Value("localVariable", Type::I32, -1)}));
    Layout wrapped = Then(MapPlacement(), {Behavior(), Value("localVariable", Type::I32, -1)});
    return List("maps", {Closed(Switch(Named("type", Type::I32, {"master", "standard", "wrapped"}),
                                       {{0, master}, {1, standard}, {2, wrapped}}))});
}

Item Sounds() {
    Layout common = {Value("name", Type::String), Value("file", Type::String),
                     Value("loop", Type::Bool, false)};
    return List("sounds",
                {Switch(Named("kind", Type::I32, {"effect", "music", "midi"}),
                        {{0, Then(common, {Value("percentage", Type::I32, 100)})}}, common)});
}

Item Variables() {
    return List("variables", {Value("name", Type::String),
                              Switch(Value("isText", Type::Bool, false),
                                     {{true, {Value("value", Type::String, "")}},
                                      {false, {Value("value", Type::F64, 0)}}}),
                              Behavior()});
}

Item Sprites() {
    return List(
        "sprites",
        {Value("name", Type::String),
         Value("visible", Type::Bool, true),
         Value("unused", Type::Bool, false),
         Value("reflection", Type::Bool, false),
         Value("mainCharacter", Type::Bool, false),
         Value("unusedFlag", Type::Bool, false),
         Value("map", Type::String, ""),
         Value("zOrder", Type::U32, 0),
         Value("actor", Type::I32),
         Value("animation", Type::I32, 0),
         Value("frame", Type::I32, 0),
         Value("pegRegistered", Type::Bool, false),
         Coordinate("x", Type::F32, 0),
         Coordinate("y", Type::F32, 0),
         Value("checkCollisionWithMap", Type::Bool, false),
         Value("displayList", Type::I32, 0),
         Coordinate("friction", Type::F32, 0),
         Value("activateCollisionWithSprite", Type::Bool, false),
         Value("checkCollisionWithSprite", Type::Bool, false),
         Value("checkSameDisplayList", Type::Bool, false),
         Value("ghostCollisionWithSprite", Type::Bool, false),
         Value("ghostCollisionWithMap", Type::Bool, false),
         Behavior(),
         Optional("path", {Value("machine", Type::U32), Value("state", Type::U32, 0),
                           Value("showPath", Type::Bool, false),
                           Optional("shortestPath", {Value("", Type::U32)})}),
         Switch(Value("directionIsVector", Type::Bool, true),
                {{true,
                  {Coordinate("directionX", Type::F32, 0), Coordinate("directionY", Type::F32, 0),
                   Value("smooth", Type::U32, 0)}},
                 {false,
                  {Coordinate("angle", Type::F32, 0), Coordinate("smoothAngle", Type::F32, 0)}}}),
         Value("canned", Type::Bool, false),
         Value("cannedHDirection", Type::Bool, false),
         Value("cannedVDirection", Type::Bool, false),
         Value("doNotCutDirection", Type::Bool, false),
         Value("showVectorOfTranslation", Type::Bool, false),
         Value("collisionType", Type::Bool, false),
         Coordinate("speed", Type::F32, 0),
         Value("variableNumber", Type::I32, 0),
         Value("showSpriteBoundingBox", Type::Bool, false),
         Value("showSpriteCollision", Type::Bool, false),
         ValueList("alarms", Type::String),
         Optional("movementPattern",
                  {Value("pattern", Type::I32),
                   Optional("start", {Value("loop", Type::Bool, false),
                                      Value("returnToStart", Type::Bool, false)}),
                   Value("show", Type::Bool, false)}),
         Value("gravityOn", Type::Bool, false),
         Coordinate("gravity", Type::F32, 0),
         Coordinate("gravityFriction", Type::F32, 0),
         Value("pause", Type::Bool, false),
         Value("localVariable", Type::I32, -1)});
}

Layout HorizontalScroll() {
    return {Value("hScrollLeftKey", Type::I32, 75), Value("hScrollRightKey", Type::I32, 77),
            Extent("hDeltaScroll", 0), Value("hScrollTriggered", Type::Bool, false)};
}

Layout VerticalScroll() {
    return {Value("vScrollUpKey", Type::I32, 76), Value("vScrollDownKey", Type::I32, 80),
            Extent("vDeltaScroll", 0), Value("vScrollTriggered", Type::Bool, false)};
}

Layout Arrows() {
    return {Extent("arrowsSize", 16), Value("arrowsColor", Type::U32, 0xFF00FF)};
}

Item Texts() {
    Item displayType = Switch(Named("displayType", Type::I32,
                                    {"respectingWords", "consecutiveCharacters",
                                     "horizontalScrolling", "verticalScrolling", "hvScrolling"},
                                    0),
                              {{0, {}},
                               {1, {}},
                               {2, Then(HorizontalScroll(), Arrows())},
                               {3, Then(VerticalScroll(), Arrows())},
                               {4, Then(Then(HorizontalScroll(), VerticalScroll()), Arrows())}});
    return List("texts",
                {Value("name", Type::String),
                 Value("visible", Type::Bool, true),
                 Value("unused", Type::Bool, false),
                 Value("fontName", Type::String, "Arial"),
                 Value("width", Type::U32, 6),
                 Value("height", Type::F32, 16),
                 Value("weight", Type::U32, 100),
                 Value("color", Type::U32, 0x0070A7BC),
                 Value("italic", Type::Bool, false),
                 Value("strikeOut", Type::Bool, false),
                 Value("underline", Type::Bool, false),
                 Coordinate("frame", Type::Rect, Json::object()),
                 Value("showFrame", Type::Bool, false),
                 Value("frameColor", Type::U32, 0xFF00FF),
                 Switch(Value("inWorld", Type::Bool, false),
                        {{true, {Value("activateOutOfViewport", Type::Bool, true)}}}),
                 Switch(Value("onMap", Type::Bool, false),
                        {{true, {Value("map", Type::String), Value("topMost", Type::Bool, false)}},
                         {false, {Value("centerViewport", Type::Bool, false)}}}),
                 displayType,
                 Coordinate("topMargin", Type::I32, 0),
                 Coordinate("leftMargin", Type::I32, 0),
                 Coordinate("lineSpacing", Type::I32, 0),
                 Coordinate("letterSpacing", Type::I32, 0),
                 Value("leadingSpaces", Type::Bool, false),
                 InRange(Named("effect", Type::I32,
                               {"none", "characterByCharacter", "lineByLine", "ascii",
                                "randomDecoding", "sequentialDecoding"},
                               0),
                         0, 5),
                 Value("characterDelay", Type::U32, 0),
                 Value("lineDelay", Type::U32, 0),
                 Optional("letterSound", {Value("", Type::String)}),
                 Switch(Value("textFromFile", Type::Bool, false),
                        {{true, {Value("textFile", Type::String)}},
                         {false,
                          {Switch(Value("isText", Type::Bool, true),
                                  {{true, {Value("value", Type::String, "")}},
                                   {false, {Value("value", Type::F64, 0)}}})}}}),
                 Value("onlyIntegerPart", Type::Bool, true),
                 Value("pause", Type::Bool, false),
                 Behavior(),
                 Value("localVariable", Type::I32, -1)});
}

Item ParticleSystems() {
    return List("particleSystems",
                {InRange(Value("count", Type::U32), 0, MaxParticles),
                 Value("initFunction", Type::I32, -1), Value("updateFunction", Type::I32, -1),
                 Value("name", Type::String), Value("map", Type::String, ""),
                 Coordinate("gravity", Type::F32, 0), Coordinate("x", Type::F32, 0),
                 Coordinate("y", Type::F32, 0), Value("unused", Type::Bool, false),
                 Value("paused", Type::Bool, false)});
}

Item Cursor() {
    return Optional("cursor",
                    {Value("actor", Type::U32), Value("animation", Type::U32, 0),
                     Value("frame", Type::U32, 0), Value("collisionType", Type::Bool, false),
                     Switch(Value("noPosition", Type::Bool, true),
                            {{false, {Value("x", Type::F32, 0), Value("y", Type::F32, 0)}}}),
                     Behavior(), Value("show", Type::Bool, true),
                     Value("localVariable", Type::I32, -1)});
}

Layout Frame() {
    Json zeroPoints = Json::array();
    for (int i = 0; i < 5; ++i)
        zeroPoints.push_back({{"x", 0}, {"y", 0}});
    return {Value("image", Type::String),
            Coordinate("translationX", Type::F32, 0),
            Coordinate("translationY", Type::F32, 0),
            Value("delay", Type::U32, 0),
            InRange(Value("width", Type::I32), 0, MaxImageSide),
            InRange(Value("height", Type::I32), 0, MaxImageSide),
            Value("transparentColor", Type::U32, 0xFF00),
            Value("flipHorizontally", Type::Bool, false),
            Value("flipVertically", Type::Bool, false),
            Value("extra", Type::I32, 0),
            Fixed("hotSpots", 5, {Coordinate("x", Type::I32, 0), Coordinate("y", Type::I32, 0)},
                  zeroPoints),
            Coordinate("boundingBox", Type::Rect,
                       Json{{"left", 0}, {"top", 0}, {"right", 31}, {"bottom", 31}}),
            Coordinate("centerX", Type::F32, 0),
            Coordinate("centerY", Type::F32, 0),
            Value("pegRegistered", Type::Bool, false),
            Value("transparent", Type::Bool, true),
            Shapes("shapes")};
}

Layout Animation() {
    Layout sound = {Value("name", Type::String),           Value("file", Type::String),
                    Value("loop", Type::Bool, false),      Value("percentage", Type::I32, 100),
                    Value("loopSound", Type::Bool, false), Value("enabled", Type::Bool, true)};
    return {Count("frames"), Value("loopFrame", Type::I32, 0),
            SwitchOn("frames", {{0, {}}}, {Optional("sound", sound), External("frames", Frame())})};
}

// A path network's stations, as many as its distance tables can hold.
Item Stations() {
    return InRange(External("stations", {Coordinate("x", Type::F32), Coordinate("y", Type::F32)}),
                   0, MaxStations);
}

} // namespace

const Layout& ModeRecord() {
    static const Layout layout = {Value("width", Type::I32, 640), Value("height", Type::I32, 480),
                                  Value("bitsPerPixel", Type::I32, 16),
                                  Value("windowed", Type::Bool, true),
                                  Value("screenSaver", Type::Bool, false)};
    return layout;
}

const Layout& GameRecord() {
    static const Layout layout = {
        Behavior(),
        List("levels", {Value("id", Type::I32), Value("name", Type::String),
                        Value("firstLoad", Type::U32, None), Value("secondLoad", Type::U32, None),
                        Value("exit", Type::U32, None), Value("end", Type::U32, None),
                        Value("file", Type::String), Attached("level"), Attached("actors")}),
        Value("title", Type::String, ""), Value("localVariable", Type::I32, -1)};
    return layout;
}

const Layout& LogicRecord() {
    static const Layout layout = {
        List("timers", {Value("function", Type::I32, -1), Value("delay", Type::U32, 0),
                        Named("unit", Type::I32, {"frames", "milliseconds"}, 0),
                        Value("running", Type::Bool, true),
                        Named("mode", Type::U32, {"once", "periodic"}, 1)}),
        List("stateMachines",
             {List("states",
                   {Value("function", Type::I32, -1), Value("subMachine", Type::I32, -1),
                    List("edges", {Value("to", Type::I32), Value("function", Type::I32, -1),
                                   Value("always", Type::Bool, false)})}),
              Value("startingState", Type::I32, 0)}),
        List("pathStateMachines",
             {Count("states"), Count("stations"),
              External(
                  "states",
                  {Value("function", Type::I32, -1), Value("smooth", Type::U32, 0),
                   Value("key", Type::U8, 255), Value("station", Type::I32, 0),
                   Value("stop", Type::Bool, false), Value("kind", Type::I32, -1),
                   List("edges",
                        {Value("to", Type::I32, 0), Value("function", Type::I32, -1),
                         Value("always", Type::Bool, true), Value("keepMoving", Type::Bool, false),
                         Value("key", Type::U8, 255), Value("tolerance", Type::U32, 2),
                         Value("station", Type::I32, -1), Value("kind", Type::I32, -1)})}),
              Value("startingState", Type::I32, 0), Stations(),
              List("links", {Value("from", Type::I32), Value("to", Type::I32)}),
              Optional("pathSegments", {List("", {Switch(Value("present", Type::Bool, true),
                                                         {{true,
                                                           {Group("segment", Segment()),
                                                            Optional("second", Segment())}}})})})}),
        List("movementPatterns",
             {Value("name", Type::String, ""),
              List("vectors", {Value("dx", Type::I32), Value("dy", Type::I32)})})};
    return layout;
}

const Layout& LevelRecord() {
    static const Layout layout = {
        Value("consoleColor", Type::U32, 0),
        Group("network", {Value("port", Type::U32, 1111), Value("fallbackLevel", Type::U32, 0),
                          Value("playersNeeded", Type::U32, 0), Value("maxPlayers", Type::U32, 0),
                          Value("networkLevel", Type::Bool, false),
                          Value("sessionId", Type::Bytes16, Json(std::vector<int>(16, 0)))}),
        Extent("worldWidth", 640),
        Extent("worldHeight", 480),
        Value("framesPerSecond", Type::U32, 60),
        Value("quitOnEscape", Type::Bool, false),
        Value("showScrollingBoundingBox", Type::Bool, false),
        Group("viewport",
              {Coordinate("boundingBox", Type::FRect,
                          Json{{"top", 0}, {"left", 0}, {"bottom", 480}, {"right", 640}}),
               Coordinate("worldX", Type::F32, 0), Coordinate("worldY", Type::F32, 0),
               Coordinate("inflateLeft", Type::F32, 0), Coordinate("inflateTop", Type::F32, 0),
               Coordinate("inflateRight", Type::F32, 0), Coordinate("inflateBottom", Type::F32, 0),
               Coordinate("width", Type::F32, 640), Coordinate("height", Type::F32, 480)}),
        Behavior(),
        Value("palette", Type::String, ""),
        Value("localVariable", Type::I32, -1),
        Cursor(),
        Sounds(),
        Variables(),
        Maps(),
        Sprites(),
        Texts(),
        ParticleSystems()};
    return layout;
}

const Layout& ActorRecord() {
    static const Layout layout = {
        List("actors", {Value("index", Type::I32), List("animations", Animation())})};
    return layout;
}

} // namespace kiv::tools
