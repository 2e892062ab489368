// What logic asks sprites about each other and about themselves: distances, sides, facing,
// extent.

#include <kiv/game/GameNode.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>

#include "base/Messages.h"

#include <cmath>

namespace {

// The centre of a sprite's frame in the given row, plus its position; the position alone
// without a frame.
float CenterX(const Sprite& s, FrameElem::Row row) {
    const FrameElem* f = s.RequestedFrame();
    return (f ? f->CenterX(row) : 0) + s.m_X;
}

float CenterY(const Sprite& s, FrameElem::Row row) {
    const FrameElem* f = s.RequestedFrame();
    return (f ? f->CenterY(row) : 0) + s.m_Y;
}

// From this sprite's centre to the other's, both taken in the orientation this one shows.
float DeltaX(const Sprite& self, const Sprite& other) {
    auto row = static_cast<FrameElem::Row>(self.ShownRow());
    return CenterX(other, row) - CenterX(self, row);
}

float DeltaY(const Sprite& self, const Sprite& other) {
    auto row = static_cast<FrameElem::Row>(self.ShownRow());
    return CenterY(other, row) - CenterY(self, row);
}

} // namespace

float Sprite::Distance(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("float Sprite::Distance(Sprite *)", 93);
        return 0;
    }
    float dx = DeltaX(*this, *other), dy = DeltaY(*this, *other);
    return std::sqrt(dx * dx + dy * dy);
}

float Sprite::DistanceX(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("float Sprite::DistanceX(Sprite *)", 93);
        return 0;
    }
    return std::fabs(DeltaX(*this, *other));
}

float Sprite::DistanceY(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("float Sprite::DistanceY(Sprite *)", 93);
        return 0;
    }
    return std::fabs(DeltaY(*this, *other));
}

float Sprite::DifferenceX(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("float Sprite::DifferenceX(Sprite *)", 94);
        return 0;
    }
    return DeltaX(*this, *other);
}

float Sprite::DifferenceY(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("float Sprite::DifferenceY(Sprite *)", 94);
        return 0;
    }
    return DeltaY(*this, *other);
}

bool Sprite::Left(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("bool  Sprite::Left(Sprite *)", 95);
        return false;
    }
    return DeltaX(*this, *other) <= 0;
}

bool Sprite::Right(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("bool  Sprite::Right(Sprite *)", 95);
        return false;
    }
    return DeltaX(*this, *other) >= 0;
}

bool Sprite::Up(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("bool  Sprite::Up(Sprite *)", 95);
        return false;
    }
    return DeltaY(*this, *other) <= 0;
}

bool Sprite::Down(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("bool  Sprite::Down(Sprite *)", 95);
        return false;
    }
    return DeltaY(*this, *other) >= 0;
}

bool Sprite::SameHFlip(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("bool Sprite::SameHFlip(Sprite *)", 96);
        return false;
    }
    return m_ShownHFlip == other->m_ShownHFlip;
}

bool Sprite::SameVFlip(Sprite* other) {
    if (!other) {
        kiv::ReportUserError("bool Sprite::SameVFlip(Sprite *)", 96);
        return false;
    }
    return m_ShownVFlip == other->m_ShownVFlip;
}

int Sprite::FrameCenterX() {
    const FrameElem* f = RequestedFrame();
    return f ? static_cast<int>(f->CenterX(static_cast<FrameElem::Row>(ShownRow()))) : 0;
}

int Sprite::FrameCenterY() {
    const FrameElem* f = RequestedFrame();
    return f ? static_cast<int>(f->CenterY(static_cast<FrameElem::Row>(ShownRow()))) : 0;
}

int Sprite::Width() const {
    const FrameElem* f = RequestedFrame();
    return f ? f->m_Width : 0;
}

int Sprite::Height() const {
    const FrameElem* f = RequestedFrame();
    return f ? f->m_Height : 0;
}

bool Sprite::InWorld() {
    if (!gNode)
        return false;
    auto worldWidth = static_cast<long long>(gNode->WorldWidth());
    auto worldHeight = static_cast<long long>(gNode->WorldHeight());
    // Corners truncated to whole pixels; touching edges do not overlap.
    auto left = static_cast<long long>(static_cast<int>(m_X));
    auto top = static_cast<long long>(static_cast<int>(m_Y));
    auto right = static_cast<long long>(static_cast<int>(m_X + static_cast<float>(Width())));
    auto bottom = static_cast<long long>(static_cast<int>(m_Y + static_cast<float>(Height())));
    return left < worldWidth && right > 0 && top < worldHeight && bottom > 0;
}
