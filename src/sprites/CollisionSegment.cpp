#include <kiv/base/List.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>

#include "base/PoolAllocation.h"
#include "sprites/CollisionGeometry.h"

using namespace kiv::collision;

namespace {

CREATE registration("CollisionSegment", &CollisionSegment::CreateObject);

// Cohen-Sutherland outcode bits.
constexpr int Below = 1; // y > y max (y grows downwards)
constexpr int Above = 2; // y < y min
constexpr int Right = 4; // x > x max
constexpr int Left = 8;  // x < x min

int OutCode(float x, float y, float xMin, float yMin, float xMax, float yMax) {
    int code = 0;
    if (y > yMax)
        code |= Below;
    else if (y < yMin)
        code |= Above;
    if (x > xMax)
        code |= Right;
    else if (x < xMin)
        code |= Left;
    return code;
}

// One edge's cut of the segment S + u·D: num and den in single precision, the interval in
// double.
bool ChopByEdge(double& tEnter, double& tLeave, const Edge& e, float sx, float sy, float dx,
                float dy) {
    float wx = e.x - sx;
    float wy = e.y - sy;
    float num = e.normalX * wx + e.normalY * wy;
    float den = e.normalX * dx + e.normalY * dy;
    return CollisionSegment::ChopCandidateInterval(tEnter, tLeave, num, den);
}

} // namespace

namespace kiv::collision {

MemoryPool& SegmentPool() {
    // Never destroyed: shapes held by static objects may be released after it would be.
    static MemoryPool* pool = new MemoryPool(sizeof(CollisionSegment), 256, false);
    return *pool;
}

bool ClipSegment(float sx, float sy, float dx, float dy, const Edge* edges, int count,
                 bool& endInside) {
    double tEnter = 0.0;
    double tLeave = 1.0;
    for (int i = 0; i < count; ++i)
        if (!ChopByEdge(tEnter, tLeave, edges[i], sx, sy, dx, dy))
            return false;
    // An interval still reaching 0 or 1 means that end was never cut off: it is inside.
    if (tEnter == 0.0 || tLeave == 1.0)
        endInside = true;
    return true;
}

} // namespace kiv::collision

CollisionSegment::CollisionSegment()
    : originX(0), originY(0), directionX(0), directionY(0), magnitudeX(0), magnitudeY(0), id(0),
      tag(0), contactNormalX(NoContactNormal), contactNormalY(NoContactNormal), normalX(0),
      normalY(0), hitFraction(NoHit), attributes(0), inside(false) {}

CollisionSegment::CollisionSegment(float x1, float y1, float x2, float y2, int id_,
                                   unsigned char attributes_, int tag_)
    : CollisionSegment() {
    originX = x1;
    originY = y1;
    id = id_;
    attributes = attributes_;
    tag = tag_;
    float dx = x2 - x1;
    float dy = y2 - y1;
    UnitVector(dx, dy, directionX, directionY);
    if (directionX == 0.0f && directionY == 0.0f)
        return; // a point: no length either
    // The length once per axis; an axis without direction takes the other axis's value.
    magnitudeX = directionX != 0.0f ? dx / directionX : dy / directionY;
    magnitudeY = directionY != 0.0f ? dy / directionY : dx / directionX;
    normalX = -directionY;
    normalY = directionX;
}

CollisionSegment::CollisionSegment(float originX_, float originY_, float directionX_,
                                   float directionY_, float magnitudeX_, float magnitudeY_, int id_,
                                   unsigned char attributes_, int tag_)
    : CollisionSegment() {
    originX = originX_;
    originY = originY_;
    directionX = directionX_;
    directionY = directionY_;
    magnitudeX = magnitudeX_;
    magnitudeY = magnitudeY_;
    id = id_;
    attributes = attributes_;
    tag = tag_;
    normalX = -directionY;
    normalY = directionX;
}

CollisionSegment::CollisionSegment(const CollisionSegment& other) = default;
CollisionSegment& CollisionSegment::operator=(const CollisionSegment& other) = default;
CollisionSegment::~CollisionSegment() = default;

CollisionSegment::operator bool() const {
    bool geometry = originX != 0 || originY != 0 || directionX != 0 || directionY != 0 ||
                    magnitudeX != 0 || magnitudeY != 0 || normalX != 0 || normalY != 0;
    return geometry || contactNormalX != NoContactNormal || contactNormalY != NoContactNormal;
}

node* CollisionSegment::CreateObject() {
    return new CollisionSegment;
}

node* CollisionSegment::Clone() {
    return new CollisionSegment(*this);
}

void CollisionSegment::Save(File& file) {
    file.Write(originX);
    file.Write(originY);
    file.Write(directionX);
    file.Write(directionY);
    file.Write(magnitudeX);
    file.Write(magnitudeY);
    file.Write(id);
    file.Write(contactNormalX);
    file.Write(contactNormalY);
    file.Write(normalX);
    file.Write(normalY);
    file.Write(hitFraction);
    file.Write(attributes);
    file.Write(inside);
    file.Write(tag);
}

void CollisionSegment::Load(File& file) {
    file.Read(originX);
    file.Read(originY);
    file.Read(directionX);
    file.Read(directionY);
    file.Read(magnitudeX);
    file.Read(magnitudeY);
    file.Read(id);
    file.Read(contactNormalX);
    file.Read(contactNormalY);
    file.Read(normalX);
    file.Read(normalY);
    file.Read(hitFraction);
    file.Read(attributes);
    file.Read(inside);
    file.Read(tag);
}

const char* CollisionSegment::ClassName() {
    return "CollisionSegment";
}

int CollisionSegment::Type() {
    return SegmentType;
}

CollisionSegment CollisionSegment::OppositeSegmentDirection(CollisionSegment& s) {
    return CollisionSegment(s.EndX(), s.EndY(), -s.directionX, -s.directionY, s.magnitudeX,
                            s.magnitudeY, s.id, s.attributes, s.tag);
}

CollisionSegment CollisionSegment::Mirror(bool leftRight, bool topBottom, int width,
                                          int height) const {
    float x1 = originX, y1 = originY;
    float x2 = EndX(), y2 = EndY();
    // W - 1 - x, in the float form 2 * (W * 0.5) - x - 1.
    float spanX = 2.0f * (static_cast<float>(width) * 0.5f);
    float spanY = 2.0f * (static_cast<float>(height) * 0.5f);
    if (leftRight) {
        x1 = spanX - x1 - 1.0f;
        x2 = spanX - x2 - 1.0f;
    }
    if (topBottom) {
        y1 = spanY - y1 - 1.0f;
        y2 = spanY - y2 - 1.0f;
    }
    // One mirror reverses the turn from direction to normal; running the copy from end to
    // start turns it back. Two mirrors are a half turn, which keeps it.
    if (leftRight != topBottom)
        return CollisionSegment(x2, y2, x1, y1, id, attributes, 0);
    return CollisionSegment(x1, y1, x2, y2, id, attributes, 0);
}

CollisionData* CollisionSegment::Mirrored(bool leftRight, bool topBottom, int width,
                                          int height) const {
    return new CollisionSegment(Mirror(leftRight, topBottom, width, height));
}

bool CollisionSegment::SegmentTouchesRectangle(float x1, float y1, float x2, float y2, float rx1,
                                               float ry1, float rx2, float ry2) {
    float xMin = rx1 < rx2 ? rx1 : rx2;
    float xMax = rx1 < rx2 ? rx2 : rx1;
    float yMin = ry1 < ry2 ? ry1 : ry2;
    float yMax = ry1 < ry2 ? ry2 : ry1;
    int code1 = OutCode(x1, y1, xMin, yMin, xMax, yMax);
    int code2 = OutCode(x2, y2, xMin, yMin, xMax, yMax);
    // Each end is normally moved onto at most two borders; the bound leaves room for a
    // rounding step more and guarantees an end whatever the input.
    for (int moves = 0; moves < 16; ++moves) {
        if ((code1 | code2) == 0)
            return true;
        if (code1 & code2)
            return false;
        int code = code1 != 0 ? code1 : code2;
        float x, y;
        if (code & Below) {
            x = x1 + (x2 - x1) * (yMax - y1) / (y2 - y1);
            y = yMax;
        } else if (code & Above) {
            x = x1 + (x2 - x1) * (yMin - y1) / (y2 - y1);
            y = yMin;
        } else if (code & Right) {
            y = y1 + (y2 - y1) * (xMax - x1) / (x2 - x1);
            x = xMax;
        } else {
            y = y1 + (y2 - y1) * (xMin - x1) / (x2 - x1);
            x = xMin;
        }
        if (code == code1) {
            x1 = x;
            y1 = y;
            code1 = OutCode(x1, y1, xMin, yMin, xMax, yMax);
        } else {
            x2 = x;
            y2 = y;
            code2 = OutCode(x2, y2, xMin, yMin, xMax, yMax);
        }
    }
    return false;
}

bool CollisionSegment::TouchesRectangle(float x1, float y1, float x2, float y2) const {
    return SegmentTouchesRectangle(originX, originY, EndX(), EndY(), x1, y1, x2, y2);
}

bool CollisionSegment::ChopCandidateInterval(double& tEnter, double& tLeave, double num,
                                             double den) {
    if (den < 0.0) { // entering the edge's inner side
        double t = num / den;
        if (t > tLeave)
            return false;
        if (t > tEnter)
            tEnter = t;
        return true;
    }
    if (den > 0.0) { // leaving it
        double t = num / den;
        if (t < tEnter)
            return false;
        if (t < tLeave)
            tLeave = t;
        return true;
    }
    // Parallel to the edge: wholly on its inner side or wholly outside.
    return num > 0.0;
}

bool CollisionSegment::LineClippingConvexeShape(CollisionSegment& s, List& edges) {
    double tEnter = 0.0;
    double tLeave = 1.0;
    const float dx = s.directionX * s.magnitudeX;
    const float dy = s.directionY * s.magnitudeY;
    for (node* n = edges.Head(); !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (shape->Type() != SegmentType)
            continue;
        auto* e = static_cast<CollisionSegment*>(shape);
        const Edge edge{e->originX, e->originY, e->normalX, e->normalY};
        if (!ChopByEdge(tEnter, tLeave, edge, s.originX, s.originY, dx, dy))
            return false;
    }
    if (tEnter == 0.0 || tLeave == 1.0)
        s.inside = true;
    return true;
}

bool CollisionSegment::DetectCollision(CollisionSegment* other, float ox, float oy, float px,
                                       float py, float tx, float ty, float n) {
    if (!other)
        return false;
    other->contactNormalX = NoContactNormal;
    other->contactNormalY = NoContactNormal;
    other->inside = false;
    hitFraction = NoHit;

    const float step = SubStep(n);
    float ux, uy;
    UnitVector(tx, ty, ux, uy);

    // The far side of each swept quadrilateral moves by T'. A segment lying (almost) along
    // the move would sweep a flat quadrilateral, so its far side is also pushed a pixel per
    // unit of t diagonally towards the segment's normal side: the quadrilateral gets an area
    // and the winding of a segment moving towards its normal.
    float farX = tx, farY = ty;
    float d = directionX * ux + directionY * uy;
    if (0.99f < d && d < 1.11f) {
        farY += ux < 0.0f ? -1.0f : 1.0f;
        farX += uy < 0.0f ? 1.0f : -1.0f;
    } else if (-1.11f < d && d < -0.99f) {
        farY += ux < 0.0f ? 1.0f : -1.0f;
        farX += uy >= 0.0f ? 1.0f : -1.0f;
    }

    const float startX = originX + ox, startY = originY + oy;
    const float endX = EndX() + ox, endY = EndY() + oy;
    const float stillX = other->originX + px, stillY = other->originY + py;
    const float stillDX = other->directionX * other->magnitudeX;
    const float stillDY = other->directionY * other->magnitudeY;

    const float limit = 1.0f + step;
    for (int i = 0;; ++i) {
        const float t = static_cast<float>(i) * step;
        if (!(t < limit))
            break;
        const float reach = 2.0f * step + t;
        const float ax = startX + t * tx, ay = startY + t * ty;
        const float bx = endX + t * tx, by = endY + t * ty;
        const float afx = startX + reach * farX, afy = startY + reach * farY;
        const float bfx = endX + reach * farX, bfy = endY + reach * farY;
        const Edge edges[4] = {EdgeBetween(ax, ay, afx, afy), EdgeBetween(afx, afy, bfx, bfy),
                               EdgeBetween(bfx, bfy, bx, by), EdgeBetween(bx, by, ax, ay)};
        if (ClipSegment(stillX, stillY, stillDX, stillDY, edges, 4, other->inside)) {
            hitFraction = t;
            return true;
        }
    }
    return false;
}

bool CollisionSegment::DetectCollision(CollisionCircle* other, float ox, float oy, float px,
                                       float py, float tx, float ty, float n) {
    if (!other)
        return false;
    other->contactNormalX = NoContactNormal;
    other->contactNormalY = NoContactNormal;
    hitFraction = NoHit;

    const float step = SubStep(n);
    float ux, uy;
    UnitVector(tx, ty, ux, uy);
    const float qx = other->centreX + px, qy = other->centreY + py;
    const float r = other->radius;
    const float endX = EndX(), endY = EndY();

    for (int i = 1;; ++i) {
        const float t = static_cast<float>(i) * step;
        if (!(t <= 1.0f))
            break;
        const float offsetX = ox + t * tx, offsetY = oy + t * ty;
        float nearX, nearY;
        if (NearestPoint(originX + offsetX, originY + offsetY, endX + offsetX, endY + offsetY, qx,
                         qy, r, EndsAt::Ends, nearX, nearY) == Nearest::None)
            continue;
        const float distance = Distance(qx, qy, nearX, nearY);
        if (!(distance <= r))
            continue;
        float mx = 0.0f, my = 0.0f;
        if (distance != 0.0f) {
            mx = (qx - nearX) / distance;
            my = (qy - nearY) / distance;
        }
        // Only a move into the circle leaves a contact normal on it.
        if (mx * ux + my * uy > 0.0f) {
            other->contactNormalX = -my;
            other->contactNormalY = mx;
        }
        hitFraction = t - step;
        return true;
    }
    return false;
}

void* CollisionSegment::operator new(std::size_t size) {
    return kiv::PoolNew(SegmentPool(), size);
}

void CollisionSegment::operator delete(void* block, std::size_t size) {
    kiv::PoolDelete(SegmentPool(), block, size);
}
