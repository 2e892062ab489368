#pragma once

#include <kiv/base/String.h>
#include <kiv/base/Types.h>

namespace kiv {

// The current folder when the library was loaded.
extern String CurrentDirectory;
// Folders built from ArtAssetsPath and RTDPath at start-up (InitPaths).
extern String ActorsPath;
extern String MapsPath;
extern String SFXPath;
extern String MusicPath;
extern String DataPath;

extern HINSTANCE GameModule;
// Window of the screen-saver preview, and whether the saver runs as a preview.
extern long ScreenSaverParent;
extern bool ScreenSaverPreview;
extern bool MinimizedWhilePaused;

// Builds the five folders from ArtAssetsPath and RTDPath.
void InitPaths();

} // namespace kiv
