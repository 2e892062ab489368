#include "graphics/Cover.h"

#include <algorithm>
#include <cmath>

namespace kiv {

namespace {

KivRect Ordered(const KivRect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

// The columns of row y inside the ellipse of the (ordered, not empty) box: [first, last],
// empty when first > last. The square root finds the span; the exact test settles the
// pixels at its ends.
void EllipseSpan(const KivRect& box, int y, int& first, int& last) {
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
    double dy = (y + 0.5 - cy) / ry;
    first = 1;
    last = 0;
    if (dy * dy > 1)
        return;
    double half = rx * std::sqrt(1 - dy * dy);
    first = static_cast<int>(std::ceil(cx - half - 0.5));
    last = static_cast<int>(std::floor(cx + half - 0.5));
    while (InsideEllipse(box, first - 1, y))
        --first;
    while (first <= last && !InsideEllipse(box, first, y))
        ++first;
    while (InsideEllipse(box, last + 1, y))
        ++last;
    while (last >= first && !InsideEllipse(box, last, y))
        --last;
}

} // namespace

bool InsideEllipse(const KivRect& box, int x, int y) {
    KivRect b = Ordered(box);
    if (b.left == b.right || b.top == b.bottom)
        return false;
    double dx = (x + 0.5 - (b.left + b.right) / 2.0) / ((b.right - b.left) / 2.0);
    double dy = (y + 0.5 - (b.top + b.bottom) / 2.0) / ((b.bottom - b.top) / 2.0);
    return dx * dx + dy * dy <= 1;
}

void Cover::Rect(const KivRect& r) {
    surface.Fill(r, pixel);
}

void Cover::All() {
    surface.Fill(pixel);
}

void Cover::AllBut(const KivRect& hole) {
    KivRect h = Ordered(hole);
    if (h.left == h.right || h.top == h.bottom) {
        All();
        return;
    }
    int w = surface.Width(), height = surface.Height();
    Rect({0, 0, w, h.top});
    Rect({0, h.bottom, w, height});
    Rect({0, h.top, h.left, h.bottom});
    Rect({h.right, h.top, w, h.bottom});
}

void Cover::AllButEllipse(const KivRect& box) {
    KivRect b = Ordered(box);
    if (b.left == b.right || b.top == b.bottom) {
        All();
        return;
    }
    int w = surface.Width(), height = surface.Height();
    for (int y = 0; y < height; ++y) {
        int first = 1, last = 0;
        if (y >= b.top && y < b.bottom)
            EllipseSpan(b, y, first, last);
        if (first > last) {
            Rect({0, y, w, y + 1});
            continue;
        }
        Rect({0, y, first, y + 1});
        Rect({last + 1, y, w, y + 1});
    }
}

} // namespace kiv
