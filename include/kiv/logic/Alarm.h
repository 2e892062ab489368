#pragma once

#include <kiv/base/Handle.h>
#include <kiv/base/List.h>
#include <kiv/base/String.h>
#include <kiv/base/node.h>
#include <kiv/logic/Behavior.h>

class CollisionCircle;
class CollisionSegment;
class Map;
class Sprite;

// A named trigger zone on a map: collision shapes whose behavior runs when a sprite that
// watches the alarm touches one of them.
class KIV_API Alarm : public node {
public:
    Alarm();
    Alarm(const Alarm& other);
    Alarm(const Alarm* other);
    Alarm& operator=(const Alarm& other);
    ~Alarm() override;

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    static node* CreateObject();

    // The first alarm of that name watched by a sprite of the current level, display lists 0
    // to 15 in order; null (after a user error) when there is none.
    static Alarm* Search(const char* name);
    // The first alarm of that name watched by the named sprite.
    static Alarm* Search(const char* name, const char* spriteName);

    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    // A null name is ignored.
    void Name(const char* name);
    const char* Name() const { return m_Name; }
    void Active(bool on) { m_Active = on; }
    bool Active() const { return m_Active; }
    void ShowCollision(bool on) { m_ShowCollision = on; }
    bool ShowCollision() const { return m_ShowCollision; }
    // Fire once per contact (armed) instead of on every touching frame.
    void ExecuteOnce(bool on) { m_OnceState = on ? 1 : 0; }
    bool ExecuteOnce() const { return m_OnceState != 0; }
    void AddLocalVariable(unsigned int index);

    // A segment of zero length is not added.
    void AddCollisionData(CollisionSegment segment);
    void AddCollisionData(CollisionCircle circle);
    List& Shapes() { return m_Shapes; }
    // The sprite that set the alarm off this frame, for the alarm's functions.
    Sprite* GetSprite() const { return m_Sprite; }
    Behavior& GetBehavior() { return m_Behavior; }

    // Draws the shapes over the map.
    void ShowAlarmCollision(Map* map);

    int m_Id;
    String m_Name;
    bool m_Active;
    int m_OnceState;
    bool m_ShowCollision;
    int m_LocalVariableIndex;
    List m_Shapes;
    Sprite* m_Sprite;
    Behavior m_Behavior;
};

// Never-null handle to an alarm; an unknown name gives the shared default alarm.
class KIV_API AlarmPTR : public kiv::Handle<Alarm, AlarmPTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static Alarm* Fallback();
};
