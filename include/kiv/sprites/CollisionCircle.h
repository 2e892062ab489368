#pragma once

#include <kiv/sprites/CollisionData.h>

#include <cstddef>

// A circle: centre and radius, with a collision ID and attribute bits.
class KIV_API CollisionCircle : public CollisionData {
public:
    // Everything 0, no contact normal, no hit: the state a loaded record starts from.
    CollisionCircle();
    CollisionCircle(float x, float y, float radius, int id, unsigned char attributes);
    CollisionCircle(const CollisionCircle& other);
    CollisionCircle& operator=(const CollisionCircle& other);
    ~CollisionCircle() override;

    static node* CreateObject();
    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    int Type() override;

    // The centre.
    float OriginX() const { return centreX; }
    float OriginY() const { return centreY; }
    float Radius() const { return radius; }

    int Id() const override { return id; }
    void Id(int i) override { id = i; }
    unsigned char Attributes() const override { return attributes; }
    float ContactNormalX() const override { return contactNormalX; }
    float ContactNormalY() const override { return contactNormalY; }
    float HitFraction() const override { return hitFraction; }
    void HitFraction(float fraction) override { hitFraction = fraction; }

    // Copy for a frame of width x height drawn mirrored: the centre maps to W - x (left-right)
    // and H - y (top-bottom).
    CollisionCircle Mirror(bool leftRight, bool topBottom, int width, int height) const;
    CollisionData* Mirrored(bool leftRight, bool topBottom, int width, int height) const override;

    // True when the centre lies in the rectangle (two x and two y values in any order) or
    // the rectangle's point nearest to it is at most the radius away.
    static bool CircleTouchesRectangle(float x, float y, float radius, float rx1, float ry1,
                                       float rx2, float ry2);
    bool TouchesRectangle(float x1, float y1, float x2, float y2) const override;

    using CollisionData::DetectCollision;
    // This circle at offset (ox, oy) moving by (tx, ty) in n sub-steps, against the other
    // shape at offset (px, py). On a hit this circle's hit fraction is the share of the move
    // it may make (left at "no hit" where the contact must not cut the move), and the still
    // shape gets a contact normal when the move went into it.
    bool DetectCollision(CollisionSegment* other, float ox, float oy, float px, float py, float tx,
                         float ty, float n);
    bool DetectCollision(CollisionCircle* other, float ox, float oy, float px, float py, float tx,
                         float ty, float n);

    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size);

private:
    friend class CollisionSegment; // sets a still circle's contact normal

    float centreX;
    float centreY;
    float radius;
    int id;
    float contactNormalX;
    float contactNormalY;
    float hitFraction;
    unsigned char attributes;
};
