#pragma once

namespace kiv {

// What a Variable holds (its m_Type, written as such in saved games).
constexpr int NumberKind = 0;
constexpr int PointerKind = 1;
constexpr int TextKind = 2;

} // namespace kiv
