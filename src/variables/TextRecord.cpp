#include "variables/TextRecord.h"

#include <kiv/game/GameNode.h>
#include <kiv/logic/Behavior.h>
#include <kiv/variables/Variable.h>

#include "base/Messages.h"
#include "data/BehaviorList.h"
#include "data/RecordReading.h"

namespace kiv {

namespace {

void ReadHorizontalScrolling(File& file, Variable& v) {
    v.HScrollLeftKey(Get<int>(file));
    v.HScrollRightKey(Get<int>(file));
    v.HDeltaScroll(GetExtent(file, "a text's scrolling step"));
    v.HScrollTriggered(Get<bool>(file));
}

void ReadVerticalScrolling(File& file, Variable& v) {
    v.VScrollUpKey(Get<int>(file));
    v.VScrollDownKey(Get<int>(file));
    v.VDeltaScroll(GetExtent(file, "a text's scrolling step"));
    v.VScrollTriggered(Get<bool>(file));
}

void ReadArrows(File& file, Variable& v) {
    v.ArrowsSize(GetExtent(file, "the size of a text's arrows"));
    v.ArrowsColor(Get<unsigned long>(file));
}

} // namespace

void ReadTextVariable(File& file, GameNode& level) {
    // Maps and sounds are looked up in the running level.
    GameNode* running = gNode;
    gNode = &level;

    Variable v;
    v.Name(GetString(file));
    v.Visible(Get<bool>(file));
    v.Unused(Get<bool>(file));
    v.FontName(GetString(file));
    v.Width(Get<unsigned int>(file));
    v.Height(Get<float>(file));
    v.Weight(Get<unsigned int>(file));
    v.Color(Get<unsigned long>(file));
    v.Italic(Get<bool>(file));
    v.StrikeOut(Get<bool>(file));
    v.Underline(Get<bool>(file));
    v.Frame(GetCoordinateRect(file, "a text's frame"));
    v.ShowFrame(Get<bool>(file));
    v.FrameColor(Get<unsigned long>(file));
    bool inWorld = Get<bool>(file);
    v.InWorld(inWorld);
    if (inWorld)
        v.ActivateOutOfViewport(Get<bool>(file));
    if (Get<bool>(file)) {
        v.BelongToMap(GetString(file));
        v.TopMost(Get<bool>(file));
    } else if (Get<bool>(file)) {
        v.CenterViewport();
    }
    int type = Get<int>(file);
    switch (type) {
    case Variable::RespectingWords:
    case Variable::ConsecutiveCharacters:
        v.DisplayType(static_cast<Variable::DisplayTypes>(type));
        break;
    case Variable::HorizontalScrolling:
        v.DisplayType(Variable::HorizontalScrolling);
        ReadHorizontalScrolling(file, v);
        ReadArrows(file, v);
        break;
    case Variable::VerticalScrolling:
        v.DisplayType(Variable::VerticalScrolling);
        ReadVerticalScrolling(file, v);
        ReadArrows(file, v);
        break;
    case Variable::HVScrolling:
        v.DisplayType(Variable::HVScrolling);
        ReadHorizontalScrolling(file, v);
        ReadVerticalScrolling(file, v);
        ReadArrows(file, v);
        break;
    default:
        break;
    }
    v.TopMargin(GetWholeCoordinate(file, "a text's margin"));
    v.LeftMargin(GetWholeCoordinate(file, "a text's margin"));
    v.LineSpacing(GetWholeCoordinate(file, "a text's spacing"));
    v.LetterSpacing(GetWholeCoordinate(file, "a text's spacing"));
    v.LeadingSpaces(Get<bool>(file));
    // The effect starts when the text arrives below, with the delays read by then. A number
    // that names no effect is reported as the setter reports it, never made an effect.
    int effect = Get<int>(file);
    if (effect >= Variable::NoEffect && effect <= Variable::SequentialDecoding)
        v.Effect(static_cast<Variable::EffectType>(effect));
    else
        ReportUserError("void Variable::Effect(EffectType)", 50);
    auto charDelay = Get<unsigned int>(file);
    v.Delay(charDelay, Get<unsigned int>(file));
    if (Get<bool>(file))
        v.LetterSound(GetString(file));
    if (Get<bool>(file))
        v.LoadTextFile(GetString(file));
    else if (Get<bool>(file))
        v = static_cast<const char*>(GetString(file));
    else
        v = Get<double>(file);
    v.OnlyIntegerPart(Get<bool>(file));
    v.Pause(Get<bool>(file));
    kiv::ReadBehaviorList(file, v.GetBehavior());
    int local = Get<int>(file);
    if (local != -1)
        v.AddLocalVariable(static_cast<unsigned int>(local));
    level.Add(v);

    gNode = running;
}

} // namespace kiv
