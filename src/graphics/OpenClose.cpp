#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/graphics/OpenClose.h>

#include "base/Messages.h"
#include "graphics/Cover.h"
#include "graphics/Display.h"

#include <algorithm>
#include <cmath>

OpenClose* Effect_OpenClose = nullptr;

namespace {

CREATE registration("OpenClose", OpenClose::CreateObject);

// The message refusing a start of the first kind; the other kinds follow it in the table.
constexpr int FirstBusyMessage = 57;

int Truncate(float v) {
    return static_cast<int>(v);
}

bool Closes(int kind) {
    return kind % 2 == 0;
}

// The box of the circle of radius r centred at (x, y), each side truncated.
KivRect Square(float x, float y, float r) {
    return {Truncate(x - r), Truncate(y - r), Truncate(x + r), Truncate(y + r)};
}

} // namespace

OpenClose::OpenClose()
    : m_Colour(0xFFFFFF), m_Kind(NoEffect), m_Frame(0), m_Duration(0), m_Running(false), m_Step(0),
      m_StepX(0), m_StepY(0), m_Radius(0), m_Hold(0) {}

OpenClose::~OpenClose() = default;

node* OpenClose::CreateObject() {
    return new OpenClose;
}

const char* OpenClose::ClassName() {
    return "OpenClose";
}

void OpenClose::Start(int kind, const char* function, COLORREF colour, int frames, int hold) {
    if (m_Running) {
        kiv::ReportUserError(function, FirstBusyMessage + kind);
        return;
    }
    int halfWidth = kiv::ModeWidth / 2, halfHeight = kiv::ModeHeight / 2;
    auto perFrame = [frames](float distance) {
        return frames == 0 ? 0.0f : distance / static_cast<float>(frames);
    };
    m_Colour = colour;
    m_Duration = frames;
    if (kind <= TopBottomOpenKind) {
        m_Step = perFrame(static_cast<float>(kind <= LeftRightOpenKind ? halfWidth : halfHeight));
    } else if (kind <= RectOpenKind) {
        m_StepX = perFrame(static_cast<float>(halfWidth));
        m_StepY = perFrame(static_cast<float>(halfHeight));
    } else {
        m_Radius = std::sqrt(static_cast<float>(halfWidth * halfWidth + halfHeight * halfHeight));
        m_Step = perFrame(m_Radius);
    }
    if (Closes(kind))
        m_Hold = hold;
    m_Running = true;
    m_Kind = kind;
}

void OpenClose::LeftRightClose(COLORREF colour, int frames, int hold) {
    Start(LeftRightCloseKind, "void OpenClose::LeftRightClose(unsigned long,int,int)", colour,
          frames, hold);
}

void OpenClose::LeftRightOpen(COLORREF colour, int frames) {
    Start(LeftRightOpenKind, "void OpenClose::LeftRightOpen(unsigned long,int)", colour, frames, 0);
}

void OpenClose::TopBottomClose(COLORREF colour, int frames, int hold) {
    Start(TopBottomCloseKind, "void OpenClose::TopBottomClose(unsigned long,int,int)", colour,
          frames, hold);
}

void OpenClose::TopBottomOpen(COLORREF colour, int frames) {
    Start(TopBottomOpenKind, "void OpenClose::TopBottomOpen(unsigned long,int)", colour, frames, 0);
}

void OpenClose::RectClose(COLORREF colour, int frames, int hold) {
    Start(RectCloseKind, "void OpenClose::RectClose(unsigned long,int,int)", colour, frames, hold);
}

void OpenClose::RectOpen(COLORREF colour, int frames) {
    Start(RectOpenKind, "void OpenClose::RectOpen(unsigned long,int)", colour, frames, 0);
}

void OpenClose::CircleClose(COLORREF colour, int frames, int hold) {
    Start(CircleCloseKind, "void OpenClose::CircleClose(unsigned long,int,int)", colour, frames,
          hold);
}

void OpenClose::CircleOpen(COLORREF colour, int frames) {
    Start(CircleOpenKind, "void OpenClose::CircleOpen(unsigned long,int)", colour, frames, 0);
}

void OpenClose::Update() {
    long long last = m_Duration;
    if (Closes(m_Kind))
        last += m_Hold;
    if (m_Frame > last) {
        Stop();
        return;
    }
    if (m_Running)
        ++m_Frame;
    Draw(std::min(m_Frame, m_Duration));
}

void OpenClose::Draw(int f) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back || back->IsLost())
        return;
    const int w = back->Width(), h = back->Height();
    const float width = static_cast<float>(w), height = static_cast<float>(h);
    const float halfWidth = static_cast<float>(w / 2), halfHeight = static_cast<float>(h / 2);
    const float done = static_cast<float>(f);
    kiv::Cover cover(*back, back->MatchColor(m_Colour));
    switch (m_Kind) {
    case LeftRightCloseKind:
        cover.Rect({0, 0, Truncate(done * m_Step), h});
        cover.Rect({Truncate(width - done * m_Step), 0, w, h});
        break;
    case LeftRightOpenKind:
        cover.Rect({0, 0, Truncate(halfWidth - done * m_Step), h});
        cover.Rect({Truncate(halfWidth + done * m_Step), 0, w, h});
        break;
    case TopBottomCloseKind:
        cover.Rect({0, 0, w, Truncate(done * m_Step)});
        cover.Rect({0, Truncate(height - done * m_Step), w, h});
        break;
    case TopBottomOpenKind:
        cover.Rect({0, 0, w, Truncate(halfHeight - done * m_Step)});
        cover.Rect({0, Truncate(halfHeight + done * m_Step), w, h});
        break;
    case RectCloseKind:
        if (m_Frame > m_Duration)
            cover.All();
        else
            cover.AllBut({Truncate(done * m_StepX), Truncate(done * m_StepY),
                          Truncate(width - done * m_StepX), Truncate(height - done * m_StepY)});
        break;
    case RectOpenKind:
        cover.AllBut({Truncate(halfWidth - done * m_StepX), Truncate(halfHeight - done * m_StepY),
                      Truncate(halfWidth + done * m_StepX), Truncate(halfHeight + done * m_StepY)});
        break;
    case CircleCloseKind:
        if (m_Frame >= m_Duration)
            cover.All();
        else
            cover.AllButEllipse(Square(halfWidth, halfHeight, m_Radius - done * m_Step));
        break;
    case CircleOpenKind:
        cover.AllButEllipse(Square(halfWidth, halfHeight, done * m_Step));
        break;
    default:
        break;
    }
}

void OpenClose::Stop() {
    m_Kind = NoEffect;
    m_Frame = m_Duration = m_Hold = 0;
    m_Step = m_StepX = m_StepY = m_Radius = 0;
    m_Running = false;
    m_Colour = 0xFFFFFF;
}

void OpenClose::Save(File& file) {
    file.Write(static_cast<unsigned long>(m_Colour));
    file.Write(m_Kind);
    file.Write(m_Frame);
    file.Write(m_Duration);
    file.Write(m_Running);
    file.Write(m_Step);
    file.Write(m_StepX);
    file.Write(m_StepY);
    file.Write(m_Radius);
    file.Write(m_Hold);
}

void OpenClose::Load(File& file) {
    unsigned long colour = 0;
    file.Read(colour);
    m_Colour = static_cast<COLORREF>(colour);
    file.Read(m_Kind);
    file.Read(m_Frame);
    file.Read(m_Duration);
    file.Read(m_Running);
    file.Read(m_Step);
    file.Read(m_StepX);
    file.Read(m_StepY);
    file.Read(m_Radius);
    file.Read(m_Hold);
}
