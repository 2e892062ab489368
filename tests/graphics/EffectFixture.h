#pragma once

// A small headless display for the screen effects, a patterned picture in its back buffer,
// the frames the presenter shows and the last user error.

#include <kiv/Kiv.h>

#include "Scratch.h"
#include "UserErrors.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/headless/HeadlessPlatform.h"

#include <string>
#include <vector>

namespace kiv::test {

class EffectDisplay : public Scratch {
protected:
    void Start(int width, int height, int depth, bool windowed) {
        SetMode(width, height, depth);
        _IsWindowed = windowed;
        ASSERT_TRUE(InitGraphics());
        back = BackBuffer();
        _UE = UserError();
        UserError::Errors.clear();
    }
    void TearDown() override {
        CloseGraphics();
        _IsWindowed = true;
        Scratch::TearDown();
    }

    // A different colour at every pixel, so that any misplaced pixel shows.
    static COLORREF Pattern(int x, int y) {
        return static_cast<COLORREF>((x * 37 + y * 11) & 0xFF) |
               static_cast<COLORREF>((x * 5 + 200 - y * 3) & 0xFF) << 8 |
               static_cast<COLORREF>((y * 29 + 7) & 0xFF) << 16;
    }
    void Paint() {
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x)
                back->PutPixel(x, y, back->MatchColor(Pattern(x, y)));
    }
    COLORREF Drawn(int x, int y) const { return back->ColorOf(back->GetPixel(x, y)); }

    platform::headless::HeadlessPresenter& Presenter() {
        return static_cast<platform::headless::HeadlessPlatform&>(platform::Current()).presenter;
    }
    // The colour shown at (x, y) by the last presented frame.
    COLORREF Shown(int x, int y) { return Presenter().ColorAt(x, y); }

    static std::string LastError() { return LastUserError(); }

    // The bytes an object's own record writes.
    static std::vector<unsigned char> Record(node& object, const char* path = "record.bin") {
        {
            File file(path, File::Writing);
            object.Save(file);
        }
        return ReadBytes(path);
    }

    Surface* back = nullptr;
};

} // namespace kiv::test
