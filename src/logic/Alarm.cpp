#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/graphics/Map.h>
#include <kiv/logic/Alarm.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/Sprite.h>

#include "base/ListFilter.h"
#include "base/LocalVariables.h"
#include "base/Messages.h"

namespace {

CREATE registration("Alarm", Alarm::CreateObject);

} // namespace

Alarm* AlarmPTR::Fallback() {
    static Alarm shared;
    return &shared;
}

namespace {

Alarm* Watched(Sprite* sprite, const char* name) {
    for (Alarm* alarm : sprite->Alarms())
        if (alarm->m_Name == name)
            return alarm;
    return nullptr;
}

} // namespace

Alarm* Alarm::Search(const char* name) {
    for (int d = 0; gNode && name && d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next())
            if (Alarm* alarm = Watched(static_cast<Sprite*>(n), name))
                return alarm;
    kiv::ReportUserError("Alarm * Alarm::Search(const char *)", 0, name ? name : "");
    return nullptr;
}

Alarm* Alarm::Search(const char* name, const char* spriteName) {
    Sprite* sprite = Sprite::Search(spriteName);
    if (!sprite)
        return nullptr;
    if (Alarm* alarm = name ? Watched(sprite, name) : nullptr)
        return alarm;
    kiv::ReportUserError("Alarm* Alarm::Search(const char *,const char *)", 0, name ? name : "");
    return nullptr;
}

Alarm::Alarm()
    : m_Id(0), m_Active(true), m_OnceState(0), m_ShowCollision(false), m_LocalVariableIndex(-1),
      m_Sprite(nullptr) {}

Alarm::Alarm(const Alarm& other) : node(other), m_Sprite(nullptr) {
    *this = other;
}

Alarm::Alarm(const Alarm* other) : Alarm() {
    if (other)
        *this = *other;
}

Alarm& Alarm::operator=(const Alarm& other) {
    if (&other == this)
        return *this;
    m_Id = other.m_Id;
    m_Name = other.m_Name;
    m_Active = other.m_Active;
    m_OnceState = other.m_OnceState;
    m_ShowCollision = other.m_ShowCollision;
    m_LocalVariableIndex = other.m_LocalVariableIndex;
    m_Shapes = other.m_Shapes;
    m_Sprite = other.m_Sprite;
    m_Behavior = other.m_Behavior;
    delete localVariable;
    localVariable = other.localVariable ? other.localVariable->Clone() : nullptr;
    return *this;
}

Alarm::~Alarm() {
    delete localVariable;
}

node* Alarm::Clone() {
    return new Alarm(*this);
}

node* Alarm::CreateObject() {
    return new Alarm;
}

const char* Alarm::ClassName() {
    return "Alarm";
}

void Alarm::Name(const char* name) {
    if (name)
        m_Name = name;
}

void Alarm::AddLocalVariable(unsigned int index) {
    if (kiv::AddLocalVariable(localVariable, index))
        m_LocalVariableIndex = static_cast<int>(index);
    else
        kiv::ReportUserError("void Alarm::AddLocalVariable(unsigned int index)", 1, index);
}

void Alarm::AddCollisionData(CollisionSegment segment) {
    if (segment.MagnitudeX() == 0 && segment.MagnitudeY() == 0)
        return;
    m_Shapes.add(new CollisionSegment(segment), m_Shapes.Sentinel());
}

void Alarm::AddCollisionData(CollisionCircle circle) {
    m_Shapes.add(new CollisionCircle(circle), m_Shapes.Sentinel());
}

void Alarm::ShowAlarmCollision(Map* map) {
    if (!map || !pDraw)
        return;
    constexpr COLORREF colour = 100 | 255 << 8 | 200 << 16;
    float mx = map->WorldPositionX(), my = map->WorldPositionY();
    for (node* n = m_Shapes.Head(); !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (shape->Type() == CollisionData::SegmentType) {
            auto* s = static_cast<CollisionSegment*>(shape);
            pDraw->Line(s->OriginX() + mx, s->OriginY() + my, s->EndX() + mx, s->EndY() + my,
                        colour);
        } else {
            auto* c = static_cast<CollisionCircle*>(shape);
            pDraw->Circle(c->OriginX() + mx, c->OriginY() + my, c->Radius(), colour);
        }
    }
}

void Alarm::Save(File& file) {
    m_Behavior.Save(file);
    file.Write(m_Id);
    m_Name.Save(file);
    file.Write(m_Active);
    m_Shapes.Save(file);
    file.Write(reinterpret_cast<node*>(m_Sprite));
    file.Write(m_OnceState);
    file.Write(m_ShowCollision);
    file.Write(m_LocalVariableIndex);
    file.Write(localVariable);
}

void Alarm::Load(File& file) {
    m_Behavior.Load(file);
    file.Read(m_Id);
    m_Name.Load(file);
    file.Read(m_Active);
    m_Shapes.del();
    m_Shapes.Load(file);
    kiv::KeepOnly<CollisionData>(m_Shapes);
    node* sprite = nullptr;
    file.Read(sprite);
    m_Sprite = dynamic_cast<Sprite*>(sprite);
    file.Read(m_OnceState);
    file.Read(m_ShowCollision);
    file.Read(m_LocalVariableIndex);
    delete localVariable;
    localVariable = file.ReadOwned<node>();
}
