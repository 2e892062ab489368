#pragma once

#include <kiv/base/String.h>
#include <kiv/base/Types.h>

#include "graphics/Surface.h"

#include <memory>

struct DDGAMMARAMP;

namespace kiv {

// The display mode (SetMode); 640 × 480 × 16 until the game sets one.
extern int ModeWidth;
extern int ModeHeight;
extern int ModeBitsPerPixel;

// Folder prefix for image files: the actors' or the maps' folder, set before loading.
extern String ImageDirectory;
// Bitmap whose colour table is the palette at 8 bits per pixel (in the maps' folder).
extern String PaletteFileName;

// The surface every drawing operation targets; null while the display is closed.
Surface* BackBuffer();
// The pixel format of the display mode.
PixelFormat DisplayFormat();

// Starts the display: checks the mode, makes the back buffer, the palette and pScreen,
// and clears the back buffer. False when the display cannot be made at all.
bool InitGraphics();
void CloseGraphics();
void ClearBackBuffer();
// Rebuilds the surfaces after the display lost them, reloading every image.
void RestoreGraphics();
// Toggles windowed and full-screen display, reloading every image.
void SwitchScreenMode();
// Re-applies the palette of PaletteFileName (8 bits per pixel only).
void LoadPalette();

// Loads an image (a "BITMAP" resource of the game, else ImageDirectory + name) into a new
// surface of the image's size whose colour key is the transparent colour; null when there
// is no image.
std::unique_ptr<Surface> LoadImageSurface(const char* name, COLORREF transparent);
// Why an image could not be loaded, as the message table says it: 13 when there is no such
// image, 14 when there is one that can't be decoded.
int ImageFailureMessage(const char* name);
std::uint32_t MatchColor(const Surface& surface, COLORREF c);
void SetSurfaceColorKey(Surface& surface, COLORREF c);
int GetBmpWidth(const char* name);
int GetBmpHeight(const char* name);

// The images of every frame of every actor: loaded (with the mirrored copies that frames
// drawn flipped need), released, or released together with the actors themselves (at a
// level switch; the next level reads its actors again).
void LoadActorImages();
void FreeActorImages();
void ReleaseActors();

// The gamma ramp, which only a full-screen display has. Every frame presented after
// SetGammaRamp is shown through the ramp (nothing happens without the gamma control).
bool HasGammaControl();
void SetGammaRamp(const DDGAMMARAMP& ramp);

// Shows the back buffer (windowed) or flips it (full screen), rebuilding lost surfaces.
void PresentBackBuffer();
// Draws "Loading ..." in red on black at the top-left of the back buffer.
void DrawLoadingText();

// Keeps a copy of every presented frame, so that the last one can be written to a PNG file
// when the game ends (the --screenshot option).
void KeepPresentedFrame(bool keep);
// The format follows the name's extension: .bmp, .jpg or .jpeg, anything else PNG. False when
// no frame was kept or the file cannot be written.
bool WritePresentedFrame(const char* path);

// Shows "Loading ..." for as long as it lives.
class LoadingMessage {
public:
    LoadingMessage();
    LoadingMessage(const LoadingMessage&) = delete;
    LoadingMessage& operator=(const LoadingMessage&) = delete;
    ~LoadingMessage();
};

// True while a LoadingMessage is shown.
bool Loading();

} // namespace kiv
