#include <kiv/Kiv.h>

#include "Images.h"
#include "Scratch.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"

#include <filesystem>

namespace {

class Display : public kiv::test::Scratch {
protected:
    void Start(int depth) {
        SetMode(64, 48, depth);
        _IsWindowed = true;
        ASSERT_TRUE(kiv::InitGraphics());
        back = kiv::BackBuffer();
    }
    void TearDown() override {
        kiv::CloseGraphics();
        kiv::platform::Resources::Instance().Clear();
        Scratch::TearDown();
    }
    std::uint32_t Raw(int x, int y) { return back->GetPixel(x, y); }

    kiv::Surface* back = nullptr;
};

using kiv::test::WriteImage;
using kiv::test::WriteSolidImage;

} // namespace

TEST_F(Display, ScreenWritesPixelsByTheRulesOfEachDepth) {
    Start(16);
    pScreen->Start();
    pScreen->SetPixel(1, 1, 0xFFFFFF);
    pScreen->SetPixel(2, 1, 0x0000FF);  // red: the top five bits at the top
    pScreen->SetPixel(-1, 0, 0xFFFFFF); // outside: ignored
    pScreen->SetPixel(64, 47, 0xFFFFFF);
    pScreen->Color(0x00FF00);
    pScreen->SetPixel(3, 1);
    pScreen->Stop();
    EXPECT_EQ(Raw(1, 1), 0xFFFFu);
    EXPECT_EQ(Raw(2, 1), 0xF800u);
    EXPECT_EQ(Raw(3, 1), 0x07E0u);
    EXPECT_EQ(Raw(63, 47), 0u);
    EXPECT_EQ(pScreen->GetPixel(1, 1), 0u);
    kiv::CloseGraphics();

    Start(24);
    back->Row(5)[3 * 4 + 3] = 0xAB; // the byte after pixel (4, 5)
    pScreen->SetPixel(4, 5, 0x123456);
    EXPECT_EQ(Raw(4, 5), 0x563412u);
    EXPECT_EQ(back->Row(5)[3 * 4 + 3], 0xAB);
    pScreen->Rect(10, 10, 3, 2, 0x0000FF);
    EXPECT_EQ(Raw(12, 11), 0xFF0000u);
    EXPECT_EQ(Raw(13, 11), 0u);
    EXPECT_EQ(Raw(12, 12), 0u);
    kiv::CloseGraphics();

    Start(8);
    pScreen->SetPixel(0, 0, 0x123407); // the low byte is the palette index
    EXPECT_EQ(Raw(0, 0), 7u);
    pScreen->Color(0xFFFFFF);
    pScreen->SetPixel(1, 0);
    EXPECT_EQ(back->GetPalette()->entries[Raw(1, 0)], 0xFFFFFFu);
    pScreen->PaletteRect(2, 2, 2, 2, 9);
    EXPECT_EQ(Raw(3, 3), 9u);
}

TEST_F(Display, ImagesLoadWithTheirTransparentColourKeyed) {
    Start(32);
    kiv::ImageDirectory = "Maps\\";
    // Magenta border, a white pixel and blue elsewhere.
    WriteImage("Maps/Sprite.bmp", 5, 4, [](int x, int y) -> COLORREF {
        if (x == 0 || y == 0)
            return 0xFF00FF;
        return x == 2 && y == 2 ? 0xFFFFFF : 0xFF0000;
    });
    auto image = kiv::LoadImageSurface("sprite.BMP", 0xFF00FF);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 5);
    EXPECT_EQ(image->Height(), 4);
    ASSERT_TRUE(image->HasColorKey());
    EXPECT_EQ(image->ColorKey(), 0xFF00FFu);
    EXPECT_EQ(image->GetPixel(0, 3), 0xFF00FFu);
    EXPECT_EQ(image->GetPixel(2, 2), 0xFFFFFFu);
    EXPECT_EQ(image->GetPixel(3, 3), 0x0000FFu);

    // Keyed pixels stay out of a keyed blit.
    back->Fill(0x00FF00);
    back->Blit(10, 10, *image, {0, 0, 5, 4}, kiv::Surface::UseColorKey);
    EXPECT_EQ(Raw(10, 10), 0x00FF00u);
    EXPECT_EQ(Raw(12, 12), 0xFFFFFFu);

    EXPECT_EQ(kiv::GetBmpWidth("Sprite.bmp"), 5);
    EXPECT_EQ(kiv::GetBmpHeight("Sprite.bmp"), 4);
    EXPECT_EQ(kiv::LoadImageSurface("missing.bmp", 0), nullptr);
    EXPECT_EQ(kiv::GetBmpWidth("missing.bmp"), 0);
}

TEST_F(Display, AnImageResourceOfTheGameComesBeforeTheFile) {
    Start(32);
    kiv::ImageDirectory = "Maps/";
    WriteSolidImage("Maps/a.bmp", 2, 2, 0x0000FFu);
    WriteSolidImage("b.bmp", 3, 1, 0x00FF00u);
    std::vector<unsigned char> bytes = ReadBytes("b.bmp");
    const KivResource table[] = {{"BITMAP", "A.BMP", bytes.data(), bytes.size()}};
    kiv::platform::Resources::Instance().Register(table, 1);
    auto image = kiv::LoadImageSurface("a.bmp", 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 3);
    EXPECT_EQ(image->GetPixel(0, 0), 0x00FF00u);
}

TEST_F(Display, EightBitPaletteComesFromTheLevelsBitmap) {
    // An 8-bit bitmap whose colour table holds 3 colours: red, green, blue.
    std::vector<unsigned char> bmp(14 + 40 + 3 * 4 + 4, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    bmp[14] = 40;             // info header size
    bmp[18] = 1, bmp[22] = 1; // 1 × 1
    bmp[26] = 1, bmp[28] = 8; // planes, bits per pixel
    bmp[14 + 32] = 3;         // colours used
    const unsigned char table[] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}; // B G R x
    std::copy(std::begin(table), std::end(table), bmp.begin() + 54);
    WriteBytes("Art Assets/Maps/level.bmp", bmp);
    ArtAssetsPath = folder.c_str();
    kiv::InitPaths();
    kiv::PaletteFileName = "level.bmp";

    Start(8);
    const COLORREF* p = back->GetPalette()->entries;
    EXPECT_EQ(p[10], 0x0000FFu);
    EXPECT_EQ(p[11], 0x00FF00u);
    EXPECT_EQ(p[12], 0xFF0000u);
    EXPECT_EQ(p[0], 0u); // the static colours stay
    EXPECT_EQ(p[255], 0xFFFFFFu);
    kiv::PaletteFileName = "";
}

TEST_F(Display, LoadingTextIsRedOnBlackAtTheTopLeft) {
    Start(16);
    back->Fill(0xFFFF);
    kiv::DrawLoadingText();
    int red = 0, other = 0, lowest = 0;
    for (int y = 0; y < back->Height(); ++y)
        for (int x = 0; x < back->Width(); ++x) {
            std::uint32_t v = Raw(x, y);
            if (v == 0xF800) {
                ++red;
                lowest = y;
            } else if (v != 0) {
                ++other;
            }
        }
    EXPECT_GT(red, 20);
    EXPECT_LT(lowest, 24); // one line of text
    EXPECT_EQ(other, 0);
}
