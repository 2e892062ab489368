#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/SpriteElem.h>

#include "base/Diagnostics.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"

#include <algorithm>
#include <set>
#include <string>

namespace kiv {

namespace {

template <class Visit>
void EachFrame(Visit visit) {
    for (int i = 0; i < SpriteElem::MaxActors; ++i) {
        SpriteElem& actor = SpriteList[i];
        for (int a = 0; a < actor.m_AnimationCount; ++a) {
            AnimationElem& animation = actor.m_Animations[a];
            for (int f = 0; f < animation.m_FrameCount; ++f)
                visit(animation.m_Frames[f], i, a, f);
        }
    }
}

// A frame without its image is drawn as nothing at all; its author hears of it once.
void ReportMissingImage(const FrameElem& frame, int actor, int animation, int number) {
    static std::set<std::string> reported;
    std::string path =
        platform::LocalPath((ImageDirectory + frame.m_ImageName).operator const char*());
    if (!reported.insert(path).second)
        return;
    Diagnostic("Actor %d, animation %d, frame %d: its image %s is missing or cannot be read; the "
               "frame shows nothing.",
               actor, animation, number, path.c_str());
}

// A copy of the frame's image mirrored as a frame drawn flipped shows it.
Surface* Mirrored(const FrameElem& frame, const Surface& image, unsigned int mirror) {
    auto* copy = new Surface(frame.m_Width, frame.m_Height, image.Format(), image.GetPalette());
    SetSurfaceColorKey(*copy, frame.m_TransparentColor);
    copy->Fill(copy->ColorKey());
    KivRect whole = {0, 0, std::min(frame.m_Width, image.Width()),
                     std::min(frame.m_Height, image.Height())};
    copy->Blit(0, 0, image, whole, mirror);
    return copy;
}

} // namespace

void LoadActorImages() {
    ImageDirectory = ActorsPath;
    EachFrame([](FrameElem& frame, int actor, int animation, int number) {
        Surface** slots = frame.m_Surfaces;
        if (!slots[FrameElem::SurfaceAsDrawn]) {
            slots[FrameElem::SurfaceAsDrawn] =
                LoadImageSurface(frame.m_ImageName, frame.m_TransparentColor).release();
            if (!slots[FrameElem::SurfaceAsDrawn])
                ReportMissingImage(frame, actor, animation, number);
        }
        const Surface* image = slots[FrameElem::SurfaceAsDrawn];
        if (!image || frame.m_Width <= 0 || frame.m_Height <= 0)
            return;
        if (frame.m_FlipHorizontally && frame.m_FlipVertically && !slots[FrameElem::SurfaceBoth])
            slots[FrameElem::SurfaceBoth] =
                Mirrored(frame, *image, Surface::MirrorLeftRight | Surface::MirrorUpDown);
        if (frame.m_FlipHorizontally && !slots[FrameElem::SurfaceLeftRight])
            slots[FrameElem::SurfaceLeftRight] = Mirrored(frame, *image, Surface::MirrorLeftRight);
        if (frame.m_FlipVertically && !slots[FrameElem::SurfaceTopBottom])
            slots[FrameElem::SurfaceTopBottom] = Mirrored(frame, *image, Surface::MirrorUpDown);
    });
}

void FreeActorImages() {
    EachFrame([](FrameElem& frame, int, int, int) {
        for (int i = 0; i < 4; ++i) {
            delete frame.m_Surfaces[i];
            frame.m_Surfaces[i] = nullptr;
        }
    });
}

void ReleaseActors() {
    FreeActorImages();
    for (SpriteElem& actor : SpriteList)
        actor.Animations(0);
}

} // namespace kiv
