#pragma once

namespace kiv::particles {

// Particles convert angles with pi taken as 3.1415, as the games were tuned with.
constexpr float DegreesToRadians = 0.017452778f; // 3.1415 / 180
constexpr float RadiansToDegrees = 57.29747f;    // 180 / 3.1415
constexpr float FullTurn = 6.283f;

} // namespace kiv::particles
