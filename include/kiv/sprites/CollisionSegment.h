#pragma once

#include <kiv/sprites/CollisionData.h>

#include <cstddef>

class List;

// A line segment: a start point, a unit direction and a length kept once per axis, so the
// end point is origin + direction * magnitude on each axis. Its normal is the direction
// turned a quarter to the right on the screen (y down): a segment drawn from left to right
// has its normal pointing down. Swept against another segment, a segment only hits what
// lies on that side of its move.
class KIV_API CollisionSegment : public CollisionData {
public:
    // Everything 0, no contact normals, no hit.
    CollisionSegment();
    // From (x1, y1) to (x2, y2). Equal points give a zero direction and zero magnitudes.
    CollisionSegment(float x1, float y1, float x2, float y2, int id, unsigned char attributes,
                     int tag);
    // From its parts as they are; the normal follows from the direction.
    CollisionSegment(float originX, float originY, float directionX, float directionY,
                     float magnitudeX, float magnitudeY, int id, unsigned char attributes, int tag);
    CollisionSegment(const CollisionSegment& other);
    CollisionSegment& operator=(const CollisionSegment& other);
    ~CollisionSegment() override;

    // False only in the default state (zero geometry, no contact normals).
    explicit operator bool() const;

    static node* CreateObject();
    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    int Type() override;

    float OriginX() const { return originX; }
    float OriginY() const { return originY; }
    float DirectionX() const { return directionX; }
    float DirectionY() const { return directionY; }
    float MagnitudeX() const { return magnitudeX; }
    float MagnitudeY() const { return magnitudeY; }
    float NormalX() const { return normalX; }
    float NormalY() const { return normalY; }
    void OriginX(float x) { originX = x; }
    void OriginY(float y) { originY = y; }
    void DirectionX(float x) { directionX = x; }
    void DirectionY(float y) { directionY = y; }
    void NormalX(float x) { normalX = x; }
    void NormalY(float y) { normalY = y; }
    // The end point: origin + direction * magnitude, per axis.
    float EndX() const { return originX + directionX * magnitudeX; }
    float EndY() const { return originY + directionY * magnitudeY; }
    // The int32 carried with the segment from the game data.
    int Tag() const { return tag; }
    // Set on a still segment when one of its ends lay inside the area swept by the moving
    // segment at the hit.
    bool Inside() const { return inside; }
    void Inside(bool on) { inside = on; }

    int Id() const override { return id; }
    void Id(int i) override { id = i; }
    unsigned char Attributes() const override { return attributes; }
    float ContactNormalX() const override { return contactNormalX; }
    float ContactNormalY() const override { return contactNormalY; }
    float HitFraction() const override { return hitFraction; }
    void HitFraction(float fraction) override { hitFraction = fraction; }

    // The segment from s's end back to its start, with the same ID, attributes and tag.
    static CollisionSegment OppositeSegmentDirection(CollisionSegment& s);

    // Copy for a frame of width x height drawn mirrored: left-right maps x to W - 1 - x,
    // top-bottom maps y to H - 1 - y. A single mirror also swaps the ends, so the copy's
    // normal is the mirror image of this one's; both mirrors together swap them twice.
    CollisionSegment Mirror(bool leftRight, bool topBottom, int width, int height) const;
    CollisionData* Mirrored(bool leftRight, bool topBottom, int width, int height) const override;

    // Cohen-Sutherland test of the segment (x1, y1)-(x2, y2) against a rectangle given by
    // two x and two y values in any order; points on an edge count as inside.
    static bool SegmentTouchesRectangle(float x1, float y1, float x2, float y2, float rx1,
                                        float ry1, float rx2, float ry2);
    bool TouchesRectangle(float x1, float y1, float x2, float y2) const override;

    using CollisionData::DetectCollision;
    // This segment at offset (ox, oy) moving by (tx, ty) in n sub-steps, against the other
    // shape at offset (px, py). On a hit, this segment's hit fraction is the share of the
    // move at which it first touched; a still segment learns whether an end of it was inside
    // the swept area, a still circle gets a contact normal when the move went into it.
    bool DetectCollision(CollisionSegment* other, float ox, float oy, float px, float py, float tx,
                         float ty, float n);
    bool DetectCollision(CollisionCircle* other, float ox, float oy, float px, float py, float tx,
                         float ty, float n);

    // Parametric clipping of s against the convex polygon whose edges (segments, normals
    // pointing out) are in the list. True when part of s lies inside; s's inside flag is
    // then set when an end of s is inside.
    static bool LineClippingConvexeShape(CollisionSegment& s, List& edges);
    // Narrows [tEnter, tLeave] by one edge (num = normal . (edge start - s start),
    // den = normal . s's vector); false when nothing of the interval is left.
    static bool ChopCandidateInterval(double& tEnter, double& tLeave, double num, double den);

    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size);

private:
    friend class CollisionCircle; // sets a still segment's contact normal

    float originX;
    float originY;
    float directionX;
    float directionY;
    float magnitudeX;
    float magnitudeY;
    int id;
    int tag;
    float contactNormalX;
    float contactNormalY;
    float normalX;
    float normalY;
    float hitFraction;
    unsigned char attributes;
    bool inside;
};
