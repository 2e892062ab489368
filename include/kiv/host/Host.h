#pragma once

#include <kiv/base/String.h>
#include <kiv/base/Types.h>

class File;

// Callback slots that the game executable fills before it calls KivMain. A slot that the
// library calls must be set.
extern KIV_API void (*SetDataPathP)();
extern KIV_API void (*LoadGameFileP)();
extern KIV_API void (*ModeP)();
extern KIV_API void (*BuildLogicP)();
extern KIV_API void (*KivP)();
extern KIV_API void (*OnGameStartP)();
extern KIV_API void (*OnGameEndP)();
extern KIV_API void (*OnSaveP)(File&);
extern KIV_API void (*OnLoadP)(File&);

// The game window; null when there is none.
extern KIV_API HWND _Ghwnd;
extern KIV_API bool _IsWindowed;
extern KIV_API bool _IsScreenSaver;
// Folder that holds the "Data" folder, and folder that holds the "Art Assets" folder.
extern KIV_API String RTDPath;
extern KIV_API String ArtAssetsPath;
// Free for the game's own use; the library never writes it.
extern KIV_API void* game;

// Runs the game until it ends and returns its exit code (0 after every early end). The
// command line holds the screen-saver options (/s, /c, /p <id>, /a <id>) and the runtime
// options (--headless, --frames=N, --screenshot=FILE.png, --input=FILE, --windowed,
// --fullscreen, --scale=N).
KIV_API int KivMain(HINSTANCE module, HINSTANCE previous, char* commandLine, int show);

// Joins argv[1..] into the writable command line KivMain takes (valid until the next call).
KIV_API char* KivCommandLine(int argc, char** argv);
