#pragma once

#include <kiv/base/node.h>

class CollisionSegment;
class CollisionCircle;

// Base of the collision shapes that frames and maps carry: line segments and circles, each
// with a collision ID, a byte of attribute bits (bit n has the mask 1 << (n - 1)) and the
// results of the last swept test it took part in. Shapes live in Lists and are persisted by
// class name.
class KIV_API CollisionData : public node {
public:
    // Values of Type().
    enum { SegmentType = 0, CircleType = 1 };
    // A contact normal component that holds this means "no contact normal".
    static constexpr float NoContactNormal = 200.0f;
    // A hit fraction that holds this means "no hit".
    static constexpr float NoHit = 1.5f;

    ~CollisionData() override;

    node* Clone() override = 0;
    const char* ClassName() override = 0;
    virtual int Type() = 0;

    // Access shared by both shapes, for code that walks lists holding both kinds.
    virtual int Id() const = 0;
    virtual void Id(int id) = 0;
    virtual unsigned char Attributes() const = 0;
    virtual float ContactNormalX() const = 0;
    virtual float ContactNormalY() const = 0;
    virtual float HitFraction() const = 0;
    virtual void HitFraction(float fraction) = 0;

    // A new shape (from the shape's pool) mirrored for a frame of the given size drawn
    // flipped left-right, top-bottom or both ways.
    virtual CollisionData* Mirrored(bool leftRight, bool topBottom, int width,
                                    int height) const = 0;
    // Whether the shape meets the rectangle given by two x and two y values in any order;
    // points on an edge count as inside.
    virtual bool TouchesRectangle(float x1, float y1, float x2, float y2) const = 0;

    // This shape at offset (ox, oy) moving by (tx, ty), against `other` at offset (px, py),
    // in n sub-steps: the DetectCollision of the pair of concrete shapes.
    bool DetectCollision(CollisionData* other, float ox, float oy, float px, float py, float tx,
                         float ty, float n);

protected:
    CollisionData() = default;
    CollisionData(const CollisionData&) = default;
    CollisionData& operator=(const CollisionData&) = default;
};
