#include "graphics/Display.h"

#include <kiv/base/UserError.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GammaRamp.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/Screen.h>
#include <kiv/host/Host.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/sound/SoundCard.h>

#include "base/Messages.h"
#include "game/LoopGlobals.h"
#include "graphics/SystemPalette.h"
#include "host/HostGlobals.h"
#include "input/CursorImage.h"
#include "platform/FontCatalog.h"
#include "platform/Platform.h"

#include <cstdio>
#include <filesystem>
#include <strings.h>

namespace kiv {

int ModeWidth = 640;
int ModeHeight = 480;
int ModeBitsPerPixel = 16;
String ImageDirectory;
String PaletteFileName;

namespace {

std::unique_ptr<Surface> backBuffer;
std::shared_ptr<Palette> palette;
bool loading = false;

// The gamma ramp of the full-screen display; frames are shown through it while it is not
// the identity.
DDGAMMARAMP gammaRamp;
bool gammaActive = false;
const platform::GammaView gammaView{gammaRamp.red, gammaRamp.green, gammaRamp.blue};

bool IsIdentity(const DDGAMMARAMP& ramp) {
    for (int i = 0; i < 256; ++i) {
        auto identity = static_cast<unsigned short>(i * 255);
        if (ramp.red[i] != identity || ramp.green[i] != identity || ramp.blue[i] != identity)
            return false;
    }
    return true;
}

platform::FrameView View(const Surface& s) {
    platform::FrameView v;
    v.pixels = s.Pixels();
    v.width = s.Width();
    v.height = s.Height();
    v.pitch = s.Pitch();
    v.bitsPerPixel = s.Format().bitsPerPixel;
    v.palette = s.GetPalette() ? s.GetPalette()->entries : nullptr;
    v.gamma = gammaActive && HasGammaControl() ? &gammaView : nullptr;
    return v;
}

bool keepPresented = false;
std::unique_ptr<Surface> presented;

bool Show(platform::Presenter& presenter, const Surface& frame) {
    if (!presenter.Present(View(frame)))
        return false;
    if (keepPresented) {
        if (!presented || presented->Width() != frame.Width() ||
            presented->Height() != frame.Height() || !(presented->Format() == frame.Format()))
            presented = std::make_unique<Surface>(frame.Width(), frame.Height(), frame.Format());
        presented->SetPalette(frame.GetPalette());
        presented->Blit(0, 0, frame, {0, 0, frame.Width(), frame.Height()}, 0);
    }
    return true;
}

bool SupportedDepth(int depth) {
    return depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// The checks of setting the video mode: a window must match the desktop's depth (a
// desktop that shows any depth passes), full screen must be a mode we can show.
void SetVideoMode() {
    if (_IsWindowed) {
        int desktop = platform::Current().GetWindow().DesktopDepth();
        if (desktop == 0 || desktop == ModeBitsPerPixel)
            return;
        static const int messages[][2] = {{8, 106}, {16, 107}, {24, 108}, {32, 109}};
        for (const auto& [depth, message] : messages)
            if (depth == ModeBitsPerPixel)
                FatalError("%s", Message(message));
        return;
    }
    bool supported = SupportedDepth(ModeBitsPerPixel) && ModeWidth > 0 && ModeHeight > 0 &&
                     ModeWidth <= 8192 && ModeHeight <= 8192;
    if (!supported)
        FatalError(Message(110), ModeWidth, ModeHeight, ModeBitsPerPixel);
}

bool CreateSurfaces() {
    if (!SupportedDepth(ModeBitsPerPixel) || ModeWidth <= 0 || ModeHeight <= 0 ||
        ModeWidth > 8192 || ModeHeight > 8192)
        return false;
    if (ModeBitsPerPixel == 8 && !palette)
        palette = std::make_shared<Palette>(SystemPalette());
    backBuffer =
        std::make_unique<Surface>(ModeWidth, ModeHeight, PixelFormat::ForDepth(ModeBitsPerPixel),
                                  ModeBitsPerPixel == 8 ? palette : nullptr);
    return true;
}

// Entries 10..245 of the palette from the colour table of a bitmap in the maps' folder;
// the 20 entries at both ends stay the system's.
bool ReadBitmapPalette(const char* name, Palette& out) {
    std::string path = platform::LocalPath((MapsPath + name).operator const char*());
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    unsigned char header[14 + 40];
    unsigned char table[1024] = {};
    bool ok = std::fread(header, 1, sizeof header, f) == sizeof header;
    if (ok)
        std::fread(table, 1, sizeof table, f);
    std::fclose(f);
    if (!ok)
        return false;
    auto u32 = [&](int at) {
        return header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
               static_cast<std::uint32_t>(header[at + 3]) << 24;
    };
    std::uint32_t infoSize = u32(14);
    unsigned bitCount = header[14 + 14] | header[14 + 15] << 8;
    std::uint32_t used = u32(14 + 32);
    std::uint32_t colours = 0;
    if (infoSize == 40 && bitCount <= 8)
        colours = used ? used : 1u << bitCount;
    out = SystemPalette();
    for (std::uint32_t i = 0; i < colours && i < 236; ++i) {
        const unsigned char* bgr = table + 4 * i;
        out.entries[10 + i] = bgr[2] | bgr[1] << 8 | bgr[0] << 16;
    }
    return true;
}

} // namespace

Surface* BackBuffer() {
    return backBuffer.get();
}

PixelFormat DisplayFormat() {
    return PixelFormat::ForDepth(ModeBitsPerPixel);
}

bool InitGraphics() {
    SetVideoMode();
    if (!CreateSurfaces())
        return false;
    LoadPalette();
    pScreen = new Screen;
    ClearBackBuffer();
    return true;
}

void CloseGraphics() {
    delete pScreen;
    pScreen = nullptr;
    gammaActive = false; // the gamma control goes with the display
    backBuffer.reset();
}

bool HasGammaControl() {
    return !_IsWindowed && backBuffer;
}

void SetGammaRamp(const DDGAMMARAMP& ramp) {
    if (!HasGammaControl())
        return;
    gammaRamp = ramp;
    gammaActive = !IsIdentity(ramp);
}

void ClearBackBuffer() {
    if (backBuffer)
        backBuffer->Fill(0);
}

void LoadPalette() {
    if (ModeBitsPerPixel != 8 || !palette)
        return;
    Palette fromFile;
    if (ReadBitmapPalette(PaletteFileName, fromFile))
        *palette = fromFile;
}

namespace {

// The images of the running level's maps, released before the surfaces are rebuilt and
// loaded again after.
void FreeLevelImages() {
    FreeActorImages();
    for (node* n = gNode ? gNode->Maps().Head() : nullptr; n && !n->EOList(); n = n->Next())
        static_cast<Map*>(n)->FreeMap();
}

void LoadLevelImages() {
    LoadActorImages();
    ImageDirectory = MapsPath;
    for (node* n = gNode ? gNode->Maps().Head() : nullptr; n && !n->EOList(); n = n->Next())
        static_cast<Map*>(n)->LoadMap();
}

} // namespace

void RestoreGraphics() {
    FreeLevelImages();
    delete pScreen;
    pScreen = nullptr;
    backBuffer.reset();
    SetVideoMode();
    CreateSurfaces();
    LoadPalette();
    pScreen = new Screen;
    LoadingMessage message;
    LoadLevelImages();
}

void SwitchScreenMode() {
    platform::Window& window = platform::Current().GetWindow();
    SoundCard::Instance().ManageBuffers(false);
    window.Show(false);
    _IsWindowed = !_IsWindowed;
    window.ShowCursor(_IsWindowed);
    FreeLevelImages();
    CloseGraphics();
    window.SetWindowed(_IsWindowed);
    InitGraphics();
    window.Show(true);
    LoadingMessage message;
    LoadLevelImages();
    if (pKeyboard)
        pKeyboard->Reset();
    if (pMouse)
        pMouse->ResetKeys();
    SoundCard::Instance().ManageBuffers(true);
}

std::unique_ptr<Surface> LoadImageSurface(const char* name, COLORREF transparent) {
    platform::Image image;
    const KivResource* r = platform::Resources::Instance().Find("BITMAP", name);
    bool decoded = r && platform::ImageCodec::Decode(r->data, r->size, image);
    if (!decoded) {
        std::string path = platform::LocalPath((ImageDirectory + name).operator const char*());
        decoded = platform::ImageCodec::DecodeFile(path.c_str(), image);
    }
    if (!decoded)
        decoded = DrawBuiltInImage(name, image);
    if (!decoded || image.width <= 0 || image.height <= 0)
        return nullptr;

    auto surface = std::make_unique<Surface>(image.width, image.height, DisplayFormat(),
                                             ModeBitsPerPixel == 8 ? palette : nullptr);
    std::uint32_t key = MatchColor(*surface, transparent);
    surface->Fill(key);
    SetSurfaceColorKey(*surface, transparent);

    // Pixels of exactly the transparent colour stay keyed; others are drawn over the key
    // fill, blended by their alpha as a decoder drawing into the surface would.
    // Neighbouring pixels are mostly of one colour: the last one matched is kept.
    std::uint32_t keyArgb = 0xFF000000u | (transparent & 0xFF) << 16 | (transparent & 0xFF00) |
                            (transparent >> 16 & 0xFF);
    std::uint32_t lastArgb = keyArgb, lastPixel = key;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t argb = image.argb[static_cast<size_t>(y) * image.width + x];
            std::uint32_t alpha = argb >> 24;
            if (argb == keyArgb || alpha == 0)
                continue;
            if (argb != lastArgb) {
                auto mix = [&](int shift) {
                    std::uint32_t s = argb >> shift & 0xFF, d = keyArgb >> shift & 0xFF;
                    return (s * alpha + d * (255 - alpha) + 127) / 255;
                };
                lastArgb = argb;
                lastPixel = surface->MatchColor(mix(16) | mix(8) << 8 | mix(0) << 16);
            }
            surface->PutPixel(x, y, lastPixel);
        }
    }
    return surface;
}

int ImageFailureMessage(const char* name) {
    if (platform::Resources::Instance().Find("BITMAP", name))
        return 14;
    std::string path = platform::LocalPath((ImageDirectory + name).operator const char*());
    std::error_code ec;
    return std::filesystem::exists(path, ec) ? 14 : 13;
}

std::uint32_t MatchColor(const Surface& surface, COLORREF c) {
    if (c == 0xFFFFFFFFu) // CLR_INVALID
        return c;
    return surface.MatchColor(c);
}

void SetSurfaceColorKey(Surface& surface, COLORREF c) {
    surface.SetColorKey(MatchColor(surface, c));
}

int GetBmpWidth(const char* name) {
    auto s = LoadImageSurface(name, 0);
    return s ? s->Width() : 0;
}

int GetBmpHeight(const char* name) {
    auto s = LoadImageSurface(name, 0);
    return s ? s->Height() : 0;
}

void PresentBackBuffer() {
    if (!backBuffer)
        return;
    platform::Presenter& presenter = platform::Current().GetPresenter();
    bool fullScreen = !_IsWindowed;
    auto loadingFrames = [&] {
        // Full screen flips between two buffers: both get the text so that it does not blink.
        if (fullScreen && (ShowLoading || loading)) {
            DrawLoadingText();
            presenter.Present(View(*backBuffer));
            DrawLoadingText();
        }
    };
    loadingFrames();
    if (Show(presenter, *backBuffer))
        return;
    static bool restoring = false;
    if (restoring)
        return;
    restoring = true;
    RestoreGraphics();
    restoring = false;
    loadingFrames();
    Show(presenter, *backBuffer);
}

void KeepPresentedFrame(bool keep) {
    keepPresented = keep;
    if (!keep)
        presented.reset();
}

bool WritePresentedFrame(const char* path) {
    if (!presented)
        return false;
    platform::Image image;
    image.width = presented->Width();
    image.height = presented->Height();
    image.argb.resize(static_cast<size_t>(image.width) * image.height);
    const Palette* p = presented->GetPalette().get();
    ConvertToArgb(presented->Format(), p ? p->entries : nullptr, presented->Pixels(),
                  presented->Pitch(), image.width, image.height, image.argb.data(),
                  image.width * 4);
    std::string type = std::filesystem::path(path).extension().string();
    if (strcasecmp(type.c_str(), ".bmp") == 0)
        return platform::ImageCodec::WriteBmp(path, image);
    if (strcasecmp(type.c_str(), ".jpg") == 0 || strcasecmp(type.c_str(), ".jpeg") == 0)
        return platform::ImageCodec::WriteJpeg(path, image, 100);
    return platform::ImageCodec::WritePng(path, image);
}

void DrawLoadingText() {
    if (!backBuffer)
        return;
    backBuffer->Fill(0);
    static std::shared_ptr<platform::Font> font =
        platform::FontCatalog::Instance().Open("Liberation Sans", 16, 700, false);
    if (!font)
        return;
    std::uint32_t red = backBuffer->MatchColor(0x0000FF);
    int pen = 0;
    for (const char* p = "Loading ..."; *p; ++p) {
        const platform::Glyph& g = font->GetGlyph(static_cast<unsigned char>(*p));
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (g.coverage[static_cast<size_t>(y) * g.width + x])
                    backBuffer->PutPixel(pen + g.left + x, g.top + y, red);
        pen += g.advance;
    }
}

LoadingMessage::LoadingMessage() {
    loading = true;
    DrawLoadingText();
    if (gNode)
        gNode->UpdateScreen();
    else if (!GamePaused) // start-up, before any level runs
        PresentBackBuffer();
}

LoadingMessage::~LoadingMessage() {
    loading = false;
}

bool Loading() {
    return loading;
}

} // namespace kiv

void SetMode(int width, int height, int depth) {
    kiv::ModeWidth = width;
    kiv::ModeHeight = height;
    kiv::ModeBitsPerPixel = depth;
}
