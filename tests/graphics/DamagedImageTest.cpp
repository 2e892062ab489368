// Images read from outside: their size is taken from the header before any decoder sees them,
// sizes no surface can hold and PNG files whose chunks run past their end are refused, an
// actor image that can't be loaded is reported and a map image ends the game as designed.
#include <kiv/Kiv.h>

#include "FatalExit.h"
#include "Images.h"
#include "MediaFiles.h"
#include "Scratch.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/ImageHeader.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessPlatform.h"

#include <filesystem>

using kiv::platform::ImageCodec;
using kiv::platform::ImageHeader;
using kiv::test::Bytes;

namespace {

ImageHeader HeaderOf(const Bytes& b) {
    return kiv::platform::ReadImageHeader(b.data(), b.size());
}

Bytes SmallBmp() {
    return kiv::test::Bmp(3, 2, [](int x, int) { return x ? 0xFF0000u : 0x0000FFu; });
}

// Sets a little-endian 32-bit value.
void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A small file whose header claims 100000 x 100000 pixels: decoded, it would need 40 GB.
Bytes HugeBmp() {
    Bytes bmp = SmallBmp();
    Set32(bmp, 18, 100000);
    Set32(bmp, 22, 100000);
    return bmp;
}

// LZW codes of a GIF (minimum code size 2) for colour indices 0 to 3: a clear code before
// every two indices keeps the codes 3 bits long.
Bytes LzwCodes(const std::vector<int>& indices) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0)
            codes.push_back(4);
        codes.push_back(indices[i]);
    }
    codes.push_back(5);
    Bytes b((codes.size() * 3 + 7) / 8, 0);
    for (std::size_t c = 0; c < codes.size(); ++c)
        for (int bit = 0; bit < 3; ++bit)
            if (codes[c] >> bit & 1)
                b[(c * 3 + bit) / 8] |= static_cast<unsigned char>(1 << ((c * 3 + bit) % 8));
    return b;
}

// A GIF whose logical screen is 10 x 5, with a graphic control extension (colour 3
// transparent) before its first image of `width` x `height`, in the colours black, white,
// red and blue; its pixels are `indices` (none: the image is its header only).
Bytes Gif(unsigned width, unsigned height, const std::vector<int>& indices = {},
          bool interlaced = false) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 10, 0, 5, 0, 0x81, 0, 0};
    b.insert(b.end(), {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255});
    b.insert(b.end(), {0x21, 0xF9, 4, 1, 0, 0, 3, 0}); // graphic control extension
    b.insert(b.end(), {0x2C, 0, 0, 0, 0});             // image at 0, 0
    kiv::test::Put16(b, width);
    kiv::test::Put16(b, height);
    b.insert(b.end(), {static_cast<unsigned char>(interlaced ? 0x40 : 0), 2});
    Bytes codes = LzwCodes(indices);
    b.push_back(static_cast<unsigned char>(codes.size()));
    b.insert(b.end(), codes.begin(), codes.end());
    b.insert(b.end(), {0, 0x3B});
    return b;
}

// A baseline JPEG's first segments: an APP0 segment, then a frame of `width` x `height`.
Bytes JpegStart(unsigned width, unsigned height) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    b.insert(b.end(), {0xFF, 0xC0, 0, 11, 8, static_cast<unsigned char>(height >> 8),
                       static_cast<unsigned char>(height), static_cast<unsigned char>(width >> 8),
                       static_cast<unsigned char>(width), 1, 1, 0x11, 0});
    return b;
}

class DamagedImages : public kiv::test::Scratch {
protected:
    Bytes Png(int w, int h) {
        kiv::test::WriteImage("p.bmp", w, h, [](int x, int y) { return x * 40u + y * 5u; });
        kiv::platform::Image image;
        EXPECT_TRUE(ImageCodec::DecodeFile("p.bmp", image));
        EXPECT_TRUE(ImageCodec::WritePng("p.png", image));
        return ReadBytes("p.png");
    }
};

} // namespace

TEST_F(DamagedImages, HeadersGiveTheSizeOfEveryFormatTheRuntimeDecodes) {
    Bytes bmp = SmallBmp();
    EXPECT_EQ(HeaderOf(bmp).kind, ImageHeader::Bmp);
    EXPECT_EQ(HeaderOf(bmp).width, 3);
    EXPECT_EQ(HeaderOf(bmp).height, 2);
    Set32(bmp, 22, static_cast<std::uint32_t>(-2)); // rows stored top down
    EXPECT_EQ(HeaderOf(bmp).height, 2);
    Set32(bmp, 22, 0x80000000u);
    EXPECT_EQ(HeaderOf(bmp).height, 2147483648LL); // widened: the magnitude of INT_MIN

    Bytes png = Png(7, 4);
    EXPECT_EQ(HeaderOf(png).kind, ImageHeader::Png);
    EXPECT_EQ(HeaderOf(png).width, 7);
    EXPECT_EQ(HeaderOf(png).height, 4);

    EXPECT_EQ(HeaderOf(Gif(7, 3)).kind, ImageHeader::Gif);
    EXPECT_EQ(HeaderOf(Gif(7, 3)).width, 7); // the image's own size, not the screen's
    EXPECT_EQ(HeaderOf(Gif(7, 3)).height, 3);

    EXPECT_EQ(HeaderOf(JpegStart(772, 258)).kind, ImageHeader::Jpeg);
    EXPECT_EQ(HeaderOf(JpegStart(772, 258)).width, 772);
    EXPECT_EQ(HeaderOf(JpegStart(772, 258)).height, 258);

    EXPECT_EQ(HeaderOf({'P', '1', '\n', '1', ' ', '1', '\n', '0'}).kind, ImageHeader::None);
}

TEST_F(DamagedImages, SizesNoSurfaceHoldsNeverReachADecoder) {
    kiv::platform::Image image;
    auto decodes = [&](const Bytes& b) { return ImageCodec::Decode(b.data(), b.size(), image); };
    ASSERT_TRUE(decodes(SmallBmp()));
    ASSERT_TRUE(decodes(Gif(2, 2, {0, 1, 2, 3})));

    // Under the address sanitizer a decoder asked for such a picture would fail to allocate
    // and end the process; here each is refused by its header alone.
    Bytes bmp = HugeBmp();
    EXPECT_FALSE(decodes(bmp));
    Set32(bmp, 18, 0x80000000u);
    Set32(bmp, 22, 1);
    EXPECT_FALSE(decodes(bmp));
    Set32(bmp, 18, 0);
    EXPECT_FALSE(decodes(bmp));
    EXPECT_FALSE(decodes(Gif(65535, 65535)));
    EXPECT_FALSE(decodes(JpegStart(60000, 60000)));
    Bytes png = Png(2, 2);
    png[16] = 0x40; // a width of 1 << 30
    EXPECT_FALSE(decodes(png));
}

TEST_F(DamagedImages, GifImagesDecodeWithTheirTransparencyAndInterlacedRows) {
    kiv::platform::Image image;
    Bytes gif = Gif(2, 2, {0, 1, 2, 3});
    ASSERT_TRUE(ImageCodec::Decode(gif.data(), gif.size(), image));
    EXPECT_EQ(image.argb, (std::vector<std::uint32_t>{0xFF000000u, 0xFFFFFFFFu, 0xFFFF0000u, 0}));
    // Rows stored in the order 0, 4, 2, 1, 3.
    gif = Gif(1, 5, {0, 1, 2, 3, 0}, true);
    ASSERT_TRUE(ImageCodec::Decode(gif.data(), gif.size(), image));
    EXPECT_EQ(image.argb,
              (std::vector<std::uint32_t>{0xFF000000u, 0, 0xFFFF0000u, 0xFF000000u, 0xFFFFFFFFu}));
    // Fewer pixels than the image has, and codes its table does not hold, are damage.
    gif = Gif(2, 3, {0, 1, 2, 3});
    EXPECT_FALSE(ImageCodec::Decode(gif.data(), gif.size(), image));
    gif = Gif(2, 2, {0, 1, 2, 3});
    gif[gif.size() - 4] |= 0x70; // the third index becomes code 7, beyond the table
    EXPECT_FALSE(ImageCodec::Decode(gif.data(), gif.size(), image));
    gif.resize(gif.size() - 3); // cut inside the image's data
    EXPECT_FALSE(ImageCodec::Decode(gif.data(), gif.size(), image));
}

TEST_F(DamagedImages, APngWhoseChunksRunPastItsEndIsRefusedNotReadOnAndOn) {
    Bytes png = Png(4, 4);
    kiv::platform::Image image;
    ASSERT_TRUE(ImageCodec::Decode(png.data(), png.size(), image));
    // The chunk after the header claims 8 MB: a decoder would skip through it for minutes.
    Bytes longChunk = png;
    const std::size_t second = 8 + 25;
    for (int i = 0; i < 4; ++i)
        longChunk[second + i] = static_cast<unsigned char>(0x00800020u >> (8 * (3 - i)));
    EXPECT_FALSE(ImageCodec::Decode(longChunk.data(), longChunk.size(), image));
    EXPECT_FALSE(kiv::platform::PngChunksFit(longChunk.data(), longChunk.size()));
    // Cut before its end chunk.
    Bytes cut(png.begin(), png.end() - 12);
    EXPECT_FALSE(ImageCodec::Decode(cut.data(), cut.size(), image));
}

TEST_F(DamagedImages, AnActorImageThatCantBeLoadedIsNamedOnce) {
    SetMode(64, 48, 32);
    _IsWindowed = true;
    ASSERT_TRUE(kiv::InitGraphics());
    kiv::ActorsPath = "Actors/";
    Bytes bad = SmallBmp();
    bad.resize(40); // the header cut short
    WriteBytes("Actors/bad.bmp", bad);
    WriteBytes("Actors/huge.bmp", HugeBmp());
    kiv::test::WriteSolidImage("Actors/good.bmp", 2, 2, 0xFFu);
    SpriteList[0].Animations(1);
    AnimationElem& animation = SpriteList[0].m_Animations[0];
    animation.Frames(5);
    const char* const images[] = {"good.bmp", "bad.bmp", "bad.bmp", "gone.bmp", "huge.bmp"};
    for (int i = 0; i < 5; ++i) {
        animation.m_Frames[i].m_ImageName = images[i];
        animation.m_Frames[i].m_Width = animation.m_Frames[i].m_Height = 2;
    }
    testing::internal::CaptureStderr();
    kiv::LoadActorImages();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "Actor 0, animation 0, frame 1: its image Actors/bad.bmp is missing or cannot "
                    "be read; the frame shows nothing.\n"
                    "Actor 0, animation 0, frame 3: its image Actors/gone.bmp is missing or "
                    "cannot be read; the frame shows nothing.\n"
                    "Actor 0, animation 0, frame 4: its image Actors/huge.bmp is missing or "
                    "cannot be read; the frame shows nothing.\n");
    EXPECT_NE(animation.m_Frames[0].m_Surfaces[FrameElem::SurfaceAsDrawn], nullptr);
    EXPECT_EQ(animation.m_Frames[1].m_Surfaces[FrameElem::SurfaceAsDrawn], nullptr);
    kiv::ReleaseActors();
    kiv::CloseGraphics();
}

TEST_F(DamagedImages, AMapImageTooLargeForASurfaceEndsTheGameAsABitmapThatCantBeLoaded) {
    SetMode(64, 48, 32);
    _IsWindowed = true;
    ASSERT_TRUE(kiv::InitGraphics());
    kiv::MapsPath = "Maps/";
    WriteBytes("Maps/huge.bmp", HugeBmp());
    GameNode level;
    gNode = &level;
    kiv::test::CatchFatalExits catcher;
    EXPECT_THROW(Map("m", "huge.bmp", Map::Standard, 0, 0, 0, false, zrect), kiv::test::FatalExit);
    gNode = nullptr;
    auto& headless = Headless();
    ASSERT_FALSE(headless.dialogs.Shown().empty());
    EXPECT_NE(headless.dialogs.Shown().back().text.find("Error loading the huge.bmp bitmap file."),
              std::string::npos);
}
