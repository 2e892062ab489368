#include <kiv/sprites/MovementPattern.h>

#include "base/Messages.h"

#include <algorithm>
#include <cmath>

MovementPattern::MovementPattern() : m_Vectors(nullptr), m_Id(0), m_NumberOfVectors(0) {}

MovementPattern::MovementPattern(const MovementPattern& other)
    : node(other), m_Vectors(nullptr), m_Id(0), m_NumberOfVectors(0) {
    *this = other;
}

MovementPattern& MovementPattern::operator=(const MovementPattern& other) {
    if (&other == this)
        return *this;
    m_Id = other.m_Id;
    m_Name = other.m_Name;
    m_Behavior = other.m_Behavior;
    delete[] m_Vectors;
    m_Vectors = nullptr;
    m_NumberOfVectors = other.m_NumberOfVectors;
    if (m_NumberOfVectors > 0) {
        m_Vectors = new Vector[static_cast<size_t>(m_NumberOfVectors)];
        std::copy(other.m_Vectors, other.m_Vectors + m_NumberOfVectors, m_Vectors);
    }
    return *this;
}

MovementPattern::~MovementPattern() {
    delete[] m_Vectors;
}

void MovementPattern::NumberOfVectors(unsigned int n) {
    if (n == 0 || n > 0x7FFFFFFF)
        return;
    delete[] m_Vectors;
    m_Vectors = new Vector[n]();
    m_NumberOfVectors = static_cast<int>(n);
}

void MovementPattern::CalculateVectorPattern(int i, int dx, int dy) {
    const char* function = "void Sprite::CalculateVectorPattern(int,int,int)";
    if (i >= m_NumberOfVectors) {
        kiv::ReportUserError(function, 30);
        return;
    }
    if (i < 0) {
        kiv::ReportUserError(function, 31);
        return;
    }
    if (dx == 0 && dy == 0) {
        m_Vectors[i] = {0, 0, 0};
        return;
    }
    float x = static_cast<float>(dx), y = static_cast<float>(dy);
    float length = std::sqrt(x * x + y * y);
    m_Vectors[i] = {x / length, y / length, length};
}
