#pragma once

#include <kiv/base/String.h>
#include <kiv/base/node.h>
#include <kiv/logic/Behavior.h>

// A precomputed path for sprites: a list of vectors, each a unit direction and a length in
// pixels, walked at the sprite's own speed.
class KIV_API MovementPattern : public node {
public:
    struct Vector {
        float x;
        float y;
        float length;
    };

    MovementPattern();
    MovementPattern(const MovementPattern& other);
    MovementPattern& operator=(const MovementPattern& other);
    ~MovementPattern() override;

    // For n != 0: n vectors, all zero.
    void NumberOfVectors(unsigned int n);
    int NumberOfVectors() const { return m_NumberOfVectors; }
    // Vector i becomes the direction and length of (dx, dy).
    void CalculateVectorPattern(int i, int dx, int dy);
    const Vector& GetVector(int i) const { return m_Vectors[i]; }

    void Name(const char* name) { m_Name = name; }
    const char* Name() const { return m_Name; }
    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }

    Vector* m_Vectors;
    int m_Id;
    int m_NumberOfVectors;
    String m_Name;
    Behavior m_Behavior;
};
