#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>

#include "graphics/Display.h"
#include "graphics/Lines.h"
#include "platform/Platform.h"

#include <string>

GeometricsDrawn* pDraw = nullptr;

namespace {

// World to screen: minus the viewport's world position, truncated.
int ScreenX(float x) {
    return static_cast<int>(x - (gNode ? gNode->GetViewPort().WorldXPos() : 0));
}
int ScreenY(float y) {
    return static_cast<int>(y - (gNode ? gNode->GetViewPort().WorldYPos() : 0));
}

void Shot(const char* name, const char* extension, bool jpeg) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back || back->IsLost() || !name)
        return;
    kiv::platform::Image image;
    image.width = back->Width();
    image.height = back->Height();
    image.argb.resize(static_cast<size_t>(image.width) * image.height);
    const kiv::Palette* palette = back->GetPalette().get();
    kiv::ConvertToArgb(back->Format(), palette ? palette->entries : nullptr, back->Pixels(),
                       back->Pitch(), image.width, image.height, image.argb.data(),
                       image.width * 4);
    std::string file = kiv::platform::LocalPath((std::string(name) + extension).c_str());
    if (jpeg)
        kiv::platform::ImageCodec::WriteJpeg(file.c_str(), image, 100);
    else
        kiv::platform::ImageCodec::WriteBmp(file.c_str(), image);
}

} // namespace

GeometricsDrawn::GeometricsDrawn() = default;
GeometricsDrawn::~GeometricsDrawn() = default;

void GeometricsDrawn::Line(float x, float y, COLORREF colour) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back)
        return;
    // From a fresh pen's place: the screen's top-left corner, whatever the viewport.
    kiv::DrawLine(*back, 0, 0, ScreenX(x), ScreenY(y), back->MatchColor(colour), false);
}

void GeometricsDrawn::Line(float x1, float y1, float x2, float y2, COLORREF colour) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back)
        return;
    // Like the window system's pen: the end point itself is not drawn.
    kiv::DrawLine(*back, ScreenX(x1), ScreenY(y1), ScreenX(x2), ScreenY(y2),
                  back->MatchColor(colour), false);
}

void GeometricsDrawn::Circle(float x, float y, float radius, COLORREF colour) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back)
        return;
    kiv::DrawEllipse(*back, ScreenX(x - radius), ScreenY(y - radius), ScreenX(x + radius),
                     ScreenY(y + radius), back->MatchColor(colour));
}

void ScreenShotJPG(const char* name) {
    Shot(name, ".jpg", true);
}

void ScreenShotBMP(const char* name) {
    Shot(name, ".bmp", false);
}
