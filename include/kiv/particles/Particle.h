#pragma once

#include <kiv/base/Types.h>

class CollisionCircle;
class CollisionSegment;
class File;
class Map;
class ParticleSystem;

// One particle of a ParticleSystem: it flies on a ballistic path from where its trajectory
// last started, ages frame by frame, changes colour from a start to an end colour over its
// life and may bounce off the shapes of its system's map. Positions are in the system's
// coordinates, with Y pointing up; angles are given in degrees and kept in radians.
class KIV_API Particle {
public:
    // Bytes of the particle's record in saved games.
    enum { RecordSize = 172 };

    Particle();

    ParticleSystem* Owner() const { return m_Owner; }

    // These two restart the trajectory from where the particle is.
    void Angle(float degrees);
    float Angle() const { return m_Angle; }
    void Velocity(float speed);
    float Velocity() const { return m_Speed; }
    // The speed at time t along the trajectory, under the system's gravity.
    float VelocityT(float t) const;
    // The time at which the trajectory passes through (x, y); 0 when none fits.
    float Txy(float x, float y) const;

    void Visible(bool on) { m_Visible = on; }
    bool Visible() const { return m_Visible; }
    // Moves the particle and starts its trajectory there.
    void Position(float x, float y);
    void PositionX(float x);
    float PositionX() const { return m_X; }
    void PositionY(float y);
    float PositionY() const { return m_Y; }

    // A dead particle given a maximum age is born again.
    void MaximumAge(unsigned int frames);
    unsigned int MaximumAge() const { return m_MaximumAge; }
    unsigned int Age() const { return m_Age; }
    void BirthDelay(unsigned int frames);
    unsigned int BirthDelay() const { return m_BirthDelay; }
    // Dead on reaching its maximum age exactly: lowered below the age, the maximum is never
    // reached, and the particle lives on.
    bool Dead() const { return m_Age == m_MaximumAge; }

    void Color(unsigned long start, unsigned long end);
    // The start colour before the first step, then the colour reached.
    unsigned long Color() const;

    // Speed lost at each bounce; a negative value is ignored.
    void Friction(float f);
    float Friction() const { return m_Friction; }
    // Clearing it also clears CollisionWithMap().
    void CheckCollisionWithMap(bool on);
    bool CheckCollisionWithMap() const { return m_CheckCollisionWithMap; }
    // The particle touched a map shape this frame: it bounced, or it rests on the shape.
    bool CollisionWithMap() const { return m_CollisionWithMap; }
    // Bounce off shapes instead of stopping on them.
    void Reflection(bool on) { m_Reflection = on; }
    bool Reflection() const { return m_Reflection; }
    // Side of the drawn square; 0 counts as 1.
    void Size(unsigned int size);
    unsigned int Size() const { return m_Size; }

    // Tests this frame's step, `stepLength` long, against the shapes of the map's grid cells
    // under the particle: it is pulled back out of a shape it went into, and then bounces
    // or stops.
    void CollisionWithMap(Map* map, float stepLength);

    // The fixed 172-byte record: the owner as four zero bytes, then every field at its place.
    void Save(File& file) const;
    // Reads the record; the owner becomes `owner`.
    void Load(File& file, ParticleSystem* owner);

private:
    friend class ParticleSystem;

    // One frame of life: the place on the trajectory (gravity pulls down the Y axis), the
    // age, the time and the colour.
    void Live(float gravity);
    // This frame's step and its direction, and the square on the map of a system whose
    // origin is at (mapX, mapY); returns the step's length.
    float TakeStep(float mapX, float mapY);
    // The colour's change per frame over the particle's life.
    void ColorSteps();
    float Gravity() const;
    // Whether this frame's step met the shape; if so the particle responds.
    void HitSegment(const CollisionSegment& s, float stepLength);
    void HitCircle(const CollisionCircle& c, float stepLength);
    // Unless the particle moves away from the shape's front (normal on the map, pointing the
    // way a particle hits it), pulls it back along its direction by `depth` over the normal
    // (at most the step's length), then bounces or stops it.
    void Respond(float normalX, float normalY, float depth, float stepLength, int id);
    // The square swept by this frame's step, grown by the touching distance.
    FRECT Swept() const;

    ParticleSystem* m_Owner;
    float m_StartX, m_StartY;
    float m_X, m_Y;
    float m_PreviousX, m_PreviousY;
    float m_StepX, m_StepY;
    float m_DirectionX, m_DirectionY;
    float m_VelocityX, m_VelocityY;
    float m_Angle;
    float m_Cos, m_Sin;
    float m_Speed;
    float m_SpeedSquared;
    float m_Time;
    float m_Friction;
    unsigned int m_Size;
    unsigned int m_MaximumAge;
    unsigned int m_Age;
    unsigned int m_BirthDelay;
    COLORREF m_StartColor, m_EndColor;
    float m_Red, m_Green, m_Blue;
    float m_RedStep, m_GreenStep, m_BlueStep;
    bool m_Visible;
    // The particle's square in the coordinates of its map (Y down).
    FRECT m_World;
    bool m_CollisionWithMap;
    bool m_Reflection;
    bool m_CheckCollisionWithMap;
    // Kept by the collision test: the last contact's normal (x, y) and the depth it was
    // pulled back by, the shapes hit in the last test and the last one's collision ID.
    float m_ContactNormalX, m_ContactNormalY, m_ContactDepth;
    unsigned int m_ContactCount;
    int m_ContactId;
    // The last update was spent waiting to be born: the particle shows from the next one.
    bool m_Waited;
};
