#pragma once

#include <kiv/base/Types.h>
#include <kiv/base/node.h>

// Lines and circles in world coordinates over the frame: collision shapes, rays, paths.
class KIV_API GeometricsDrawn : public node {
public:
    GeometricsDrawn();
    ~GeometricsDrawn() override;

    // From the screen's top-left corner to (x, y).
    void Line(float x, float y, COLORREF colour);
    void Line(float x1, float y1, float x2, float y2, COLORREF colour);
    void Circle(float x, float y, float radius, COLORREF colour);
};

extern KIV_API GeometricsDrawn* pDraw;

// Writes the back buffer to name + ".jpg" (quality 100) or name + ".bmp"; silent on failure.
KIV_API void ScreenShotJPG(const char* name);
KIV_API void ScreenShotBMP(const char* name);
