#pragma once

#include <kiv/base/String.h>
#include <kiv/base/Types.h>

class File;

// Callback slots that the game executable fills before it calls KivMain. A slot left empty
// takes its default: ModeP and KivP read the game file that LoadGameFileP opened (mode
// record; game and logic records), the others do nothing.
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

// Runs the game until it ends and returns its exit status: the quit code after a quit,
// otherwise a status that tells the failure (see the README; KIV_EXIT_STATUS=designed gives 0
// for every early end). The command line holds the screen-saver options (/s, /c, /p <id>,
// /a <id>), the runtime options (--headless, --frames=N, --screenshot=FILE, --input=FILE,
// --windowed, --fullscreen, --scale=N, --log=FILE, --replay=FILE, --help, --version) and the
// game's own arguments, which stay in it. Empty callback slots take their defaults.
KIV_API int KivMain(HINSTANCE module, HINSTANCE previous, char* commandLine, int show);

// Joins argv[1..] into the writable command line KivMain takes (valid until the next call),
// quoting an argument that holds blanks or quotes so that it is read back whole.
KIV_API char* KivCommandLine(int argc, char** argv);
