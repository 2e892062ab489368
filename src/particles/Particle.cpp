#include <kiv/data/File.h>
#include <kiv/particles/ParticleSystem.h>

#include "particles/ParticleConstants.h"

#include <algorithm>
#include <cmath>

namespace {

float Component(unsigned long colour, int shift) {
    return static_cast<float>(colour >> shift & 0xFF);
}

// A colour component as the colour shows it: truncated, and never past a byte (the
// steps may carry a component a rounding error beyond its end value).
COLORREF Byte(float component) {
    return std::min(static_cast<COLORREF>(component), COLORREF{255});
}

} // namespace

Particle::Particle()
    : m_Owner(nullptr), m_StartX(0), m_StartY(0), m_X(0), m_Y(0), m_PreviousX(0), m_PreviousY(0),
      m_StepX(0), m_StepY(0), m_DirectionX(0), m_DirectionY(0), m_VelocityX(0), m_VelocityY(0),
      m_Angle(0), m_Cos(1), m_Sin(0), m_Speed(0), m_SpeedSquared(0), m_Time(0), m_Friction(0),
      m_Size(1), m_MaximumAge(0), m_Age(0), m_BirthDelay(0), m_StartColor(0), m_EndColor(0),
      m_Red(0), m_Green(0), m_Blue(0), m_RedStep(0), m_GreenStep(0), m_BlueStep(0),
      m_Visible(true), m_World{0, 0, 1, 1}, m_CollisionWithMap(false), m_Reflection(false),
      m_CheckCollisionWithMap(false), m_ContactNormalX(0), m_ContactNormalY(0), m_ContactDepth(0),
      m_ContactCount(0), m_ContactId(0), m_Waited(false) {}

void Particle::Angle(float degrees) {
    m_Angle = degrees * kiv::particles::DegreesToRadians;
    m_Cos = std::cos(m_Angle);
    m_Sin = std::sin(m_Angle);
    m_VelocityX = m_Speed * m_Cos;
    m_VelocityY = m_Speed * m_Sin;
    m_Time = 0;
    m_StartX = m_X;
    m_StartY = m_Y;
}

void Particle::Velocity(float speed) {
    m_Speed = speed;
    m_SpeedSquared = speed * speed;
    m_VelocityX = speed * m_Cos;
    m_VelocityY = speed * m_Sin;
    m_Time = 0;
    m_StartX = m_X;
    m_StartY = m_Y;
}

float Particle::Gravity() const {
    return m_Owner ? m_Owner->Gravity() : 0.0f;
}

float Particle::VelocityT(float t) const {
    float g = Gravity();
    float squared = m_SpeedSquared - 2.0f * g * t * m_VelocityY + (g * t) * (g * t);
    return squared < 0 ? 0.0f : std::sqrt(squared);
}

float Particle::Txy(float x, float y) const {
    float g = Gravity();
    if (g == 0) {
        float sum = m_VelocityX + m_VelocityY;
        return sum == 0 ? 0.0f : (x + y) / sum;
    }
    if (m_VelocityX != 0) {
        float t = (x - m_StartX) / m_VelocityX;
        return t > 0 ? t : 0.0f;
    }
    // y = start + v t - g t² / 2: of its two times, the one within a frame of now.
    float discriminant = m_VelocityY * m_VelocityY - 2.0f * g * (y - m_StartY);
    if (discriminant < 0)
        return 0;
    float root = std::sqrt(discriminant);
    float early = (m_VelocityY - root) / g, late = (m_VelocityY + root) / g;
    float nearer = std::abs(early - m_Time) <= std::abs(late - m_Time) ? early : late;
    return std::abs(nearer - m_Time) <= 1.0f ? nearer : 0.0f;
}

void Particle::Position(float x, float y) {
    PositionX(x);
    PositionY(y);
}

void Particle::PositionX(float x) {
    m_StartX = m_X = x;
}

void Particle::PositionY(float y) {
    m_StartY = m_Y = y;
}

void Particle::MaximumAge(unsigned int frames) {
    if (Dead()) {
        m_Age = 0;
        m_Time = 0;
    }
    m_MaximumAge = frames;
    ColorSteps();
}

void Particle::ColorSteps() {
    if (m_MaximumAge == 0)
        return;
    float age = static_cast<float>(m_MaximumAge);
    m_RedStep = (Component(m_EndColor, 0) - Component(m_StartColor, 0)) / age;
    m_GreenStep = (Component(m_EndColor, 8) - Component(m_StartColor, 8)) / age;
    m_BlueStep = (Component(m_EndColor, 16) - Component(m_StartColor, 16)) / age;
}

void Particle::BirthDelay(unsigned int frames) {
    m_BirthDelay = frames;
    m_Age = 0;
    m_Time = 0;
}

void Particle::Color(unsigned long start, unsigned long end) {
    m_StartColor = static_cast<COLORREF>(start);
    m_EndColor = static_cast<COLORREF>(end);
    m_Red = Component(start, 0);
    m_Green = Component(start, 8);
    m_Blue = Component(start, 16);
    ColorSteps();
}

unsigned long Particle::Color() const {
    if (m_Age == 0)
        return m_StartColor;
    return Byte(m_Red) | Byte(m_Green) << 8 | Byte(m_Blue) << 16;
}

void Particle::Friction(float f) {
    if (f >= 0)
        m_Friction = f;
}

void Particle::CheckCollisionWithMap(bool on) {
    m_CheckCollisionWithMap = on;
    if (!on)
        m_CollisionWithMap = false;
}

void Particle::Size(unsigned int size) {
    m_Size = size == 0 ? 1 : size;
    m_World.bottom = m_World.right = static_cast<float>(m_Size);
}

void Particle::Live(float gravity) {
    m_X = m_StartX + m_VelocityX * m_Time;
    m_Y = m_StartY + m_VelocityY * m_Time - 0.5f * gravity * m_Time * m_Time;
    ++m_Age;
    if (!m_CollisionWithMap) // resting on a shape, the particle's time stands still
        m_Time += 1;
    m_Red = std::max(m_Red + m_RedStep, 0.0f);
    m_Green = std::max(m_Green + m_GreenStep, 0.0f);
    m_Blue = std::max(m_Blue + m_BlueStep, 0.0f);
}

float Particle::TakeStep(float mapX, float mapY) {
    m_StepX = m_X - m_PreviousX;
    m_StepY = m_Y - m_PreviousY;
    float length = std::sqrt(m_StepX * m_StepX + m_StepY * m_StepY);
    m_DirectionX = length == 0 ? 0.0f : m_StepX / length;
    m_DirectionY = length == 0 ? 0.0f : m_StepY / length;
    m_World.left = m_X + mapX;
    m_World.top = -m_Y + mapY;
    m_World.right = m_World.left + static_cast<float>(m_Size);
    m_World.bottom = m_World.top + static_cast<float>(m_Size);
    return length;
}

void Particle::Save(File& file) const {
    file.Write(0); // the owner: restored by the loading system
    for (float v : {m_StartX, m_StartY, m_X, m_Y, m_PreviousX, m_PreviousY, m_StepX, m_StepY,
                    m_DirectionX, m_DirectionY, m_VelocityX, m_VelocityY, m_Angle, m_Cos, m_Sin,
                    m_Speed, m_SpeedSquared, m_Time, m_Friction})
        file.Write(v);
    for (unsigned int v : {m_Size, m_MaximumAge, m_Age, m_BirthDelay, m_StartColor, m_EndColor})
        file.Write(v);
    for (float v : {m_Red, m_Green, m_Blue, m_RedStep, m_GreenStep, m_BlueStep})
        file.Write(v);
    file.Write(m_Visible);
    const unsigned char padding[3] = {};
    file.Write(padding, 3);
    file.Write(m_World);
    file.Write(m_CollisionWithMap);
    file.Write(m_Reflection);
    file.Write(m_CheckCollisionWithMap);
    file.Write(padding, 1);
    file.Write(m_ContactNormalX);
    file.Write(m_ContactNormalY);
    file.Write(m_ContactDepth);
    file.Write(m_ContactCount);
    file.Write(m_ContactId);
}

void Particle::Load(File& file, ParticleSystem* owner) {
    int pointer = 0;
    file.Read(pointer);
    m_Owner = owner;
    for (float* v : {&m_StartX, &m_StartY, &m_X, &m_Y, &m_PreviousX, &m_PreviousY, &m_StepX,
                     &m_StepY, &m_DirectionX, &m_DirectionY, &m_VelocityX, &m_VelocityY, &m_Angle,
                     &m_Cos, &m_Sin, &m_Speed, &m_SpeedSquared, &m_Time, &m_Friction})
        file.Read(*v);
    for (unsigned int* v :
         {&m_Size, &m_MaximumAge, &m_Age, &m_BirthDelay, &m_StartColor, &m_EndColor})
        file.Read(*v);
    for (float* v : {&m_Red, &m_Green, &m_Blue, &m_RedStep, &m_GreenStep, &m_BlueStep})
        file.Read(*v);
    file.Read(m_Visible);
    unsigned char padding[3];
    file.Read(padding, 3);
    file.Read(m_World);
    file.Read(m_CollisionWithMap);
    file.Read(m_Reflection);
    file.Read(m_CheckCollisionWithMap);
    file.Read(padding, 1);
    file.Read(m_ContactNormalX);
    file.Read(m_ContactNormalY);
    file.Read(m_ContactDepth);
    file.Read(m_ContactCount);
    file.Read(m_ContactId);
}
