#pragma once

class Map;

namespace kiv {

// Draws the texts of a visible map whose top-most flag equals `topMost`, in the order of
// the map's text list. The frame loop calls it twice per master or standard map: before
// the map's sprites (false) and after them (true).
void DisplayMapTexts(Map& map, bool topMost);

} // namespace kiv
