#include <kiv/base/Types.h>
#include <kiv/host/Host.h>

#include "host/HostGlobals.h"

#include "platform/Platform.h"

KivRect zrect = {0, 0, 0, 0};

void (*SetDataPathP)() = nullptr;
void (*LoadGameFileP)() = nullptr;
void (*ModeP)() = nullptr;
void (*BuildLogicP)() = nullptr;
void (*KivP)() = nullptr;
void (*OnGameStartP)() = nullptr;
void (*OnGameEndP)() = nullptr;
void (*OnSaveP)(File&) = nullptr;
void (*OnLoadP)(File&) = nullptr;

HWND _Ghwnd = nullptr;
bool _IsWindowed = true;
bool _IsScreenSaver = false;
void* game = nullptr;

namespace kiv {

String CurrentDirectory = platform::CurrentFolder().c_str();
String ActorsPath;
String MapsPath;
String SFXPath;
String MusicPath;
String DataPath;

HINSTANCE GameModule = nullptr;
long ScreenSaverParent = 0;
bool ScreenSaverPreview = false;
bool MinimizedWhilePaused = false;

void InitPaths() {
    ActorsPath = ArtAssetsPath + "\\Art Assets\\Actors\\";
    MapsPath = ArtAssetsPath + "\\Art Assets\\Maps\\";
    SFXPath = ArtAssetsPath + "\\Art Assets\\Sounds\\SFX\\";
    MusicPath = ArtAssetsPath + "\\Art Assets\\Sounds\\Music\\";
    DataPath = RTDPath + "\\Data\\";
}

} // namespace kiv

String RTDPath = kiv::CurrentDirectory;
String ArtAssetsPath = kiv::CurrentDirectory;
