// Draws the showcase's pictures and synthesises its sounds, so that the game ships no binary
// art: BMP images for the maps and actors, WAVE sound effects, a streamed ambience and a MIDI
// theme, written under "Art Assets" in the folder given on the command line.
//   showcase_art FOLDER
#include "WorldLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr Rgb Key{0, 255, 0}; // the actors' and overlays' transparent colour
constexpr double Pi = 3.14159265358979323846;

// Small deterministic generator, so that every build draws the same art.
class Noise {
public:
    double Next() {
        state = state * 1103515245u + 12345u;
        return ((state >> 8) & 0xFFFF) / 65535.0;
    }

private:
    std::uint32_t state = 12345;
};

class Canvas {
public:
    Canvas(int w, int h, Rgb fill) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}

    void Set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[std::size_t(y) * width + x] = c;
    }
    Rgb Get(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    void Rect(int x, int y, int w, int h, Rgb c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                Set(i, j, c);
    }
    void Disc(double cx, double cy, double r, Rgb c) {
        for (int j = int(cy - r) - 1; j <= int(cy + r) + 1; ++j)
            for (int i = int(cx - r) - 1; i <= int(cx + r) + 1; ++i)
                if ((i + 0.5 - cx) * (i + 0.5 - cx) + (j + 0.5 - cy) * (j + 0.5 - cy) <= r * r)
                    Set(i, j, c);
    }
    // A thick line between two points, drawn as a row of discs.
    void Limb(double x0, double y0, double x1, double y1, double r, Rgb c) {
        int steps = int(std::hypot(x1 - x0, y1 - y0)) + 1;
        for (int s = 0; s <= steps; ++s)
            Disc(x0 + (x1 - x0) * s / steps, y0 + (y1 - y0) * s / steps, r, c);
    }

    // 24-bit bottom-up BMP, rows padded to 4 bytes.
    void WriteBmp(const fs::path& path) const {
        int stride = (width * 3 + 3) & ~3;
        std::vector<std::uint8_t> out;
        auto u16 = [&](unsigned v) {
            out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
        };
        auto u32 = [&](unsigned v) {
            u16(v & 0xFFFF);
            u16(v >> 16);
        };
        out.push_back('B');
        out.push_back('M');
        u32(54 + stride * height);
        u32(0);
        u32(54);
        u32(40);
        u32(width);
        u32(height);
        u16(1);
        u16(24);
        for (int i = 0; i < 6; ++i)
            u32(0);
        for (int y = height - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x) {
                Rgb c = Get(x, y);
                out.insert(out.end(), {c.b, c.g, c.r});
            }
            out.resize(out.size() + (stride - width * 3), 0);
        }
        Save(path, out);
    }

    static void Save(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    int width, height;

private:
    std::vector<Rgb> pixels;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return std::uint8_t(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// ---- maps ----

// Far background: a sky gradient with two ranges of hills, scrolled slower than the world.
Canvas Sky() {
    Canvas c(960, 480, {0, 0, 0});
    for (int y = 0; y < c.height; ++y)
        c.Rect(0, y, c.width, 1, Mix({70, 120, 200}, {200, 225, 245}, y / 479.0));
    for (int x = 0; x < c.width; ++x) {
        double t = x * 2 * Pi / c.width;
        int far = 300 + int(40 * std::sin(3 * t) + 20 * std::sin(7 * t + 1));
        int near = 360 + int(30 * std::sin(2 * t + 2) + 15 * std::sin(11 * t));
        c.Rect(x, far, 1, c.height - far, {120, 150, 190});
        c.Rect(x, near, 1, c.height - near, {80, 130, 110});
    }
    return c;
}

// A band of clouds on the transparent colour; the wrapped map repeats it forever.
Canvas Clouds() {
    Canvas c(640, 160, Key);
    Noise noise;
    for (int k = 0; k < 7; ++k) {
        double x = 40 + k * 90 + noise.Next() * 30, y = 40 + noise.Next() * 70;
        for (int p = 0; p < 6; ++p)
            c.Disc(x + p * 12 - 30, y + std::sin(p * 1.3) * 6, 14 + noise.Next() * 8,
                   Mix({255, 255, 255}, {225, 232, 240}, p / 6.0));
    }
    return c;
}

// The playing field: ground with hills, floating platforms and pillars, air left transparent.
Canvas World() {
    const int width = showcase::WorldWidth, height = showcase::WorldHeight;
    Canvas c(width, height, Key);
    Noise noise;
    for (int x = 0; x < width; ++x) {
        int ground = showcase::GroundY(x);
        for (int y = ground; y < height; ++y) {
            Rgb soil = Mix({130, 90, 50}, {90, 60, 35}, (y - ground) / double(height - ground));
            if (noise.Next() < 0.08)
                soil = Mix(soil, {60, 40, 25}, 0.5);
            c.Set(x, y, y < ground + 10 ? Rgb{70, 170, 60} : soil);
        }
    }
    for (int k = 0; k < showcase::Platforms; ++k) {
        showcase::Platform p = showcase::PlatformAt(k);
        c.Rect(p.x, p.y, showcase::PlatformWidth, 16, {150, 110, 70});
        c.Rect(p.x, p.y, showcase::PlatformWidth, 5, {80, 180, 70});
    }
    for (int k = 0; k < showcase::Pillars; ++k) {
        int x = showcase::PillarX(k), top = showcase::PillarTop(k);
        int bottom = showcase::GroundY(x) + 12;
        c.Rect(x, top, showcase::PillarWidth, bottom - top, {150, 150, 160});
        for (int y = top + 12; y < bottom; y += 12) // courses of stone
            c.Rect(x, y, showcase::PillarWidth, 2, {110, 110, 125});
        c.Rect(x - 2, top, showcase::PillarWidth + 4, 6, {175, 175, 185});
    }
    return c;
}

// The title backdrop: a dusk gradient, stars and a blocky "KIV" logo.
Canvas Title() {
    static const char* glyphs[3][7] = {
        {"X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"},
        {".XXX.", "..X..", "..X..", "..X..", "..X..", "..X..", ".XXX."},
        {"X...X", "X...X", "X...X", "X...X", ".X.X.", ".X.X.", "..X.."}};
    Canvas c(640, 480, {0, 0, 0});
    for (int y = 0; y < c.height; ++y)
        c.Rect(0, y, c.width, 1, Mix({20, 20, 60}, {140, 60, 90}, y / 479.0));
    Noise noise;
    for (int s = 0; s < 120; ++s)
        c.Set(int(noise.Next() * 640), int(noise.Next() * 300), {255, 255, 220});
    for (int g = 0; g < 3; ++g)
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (glyphs[g][row][col] == 'X') {
                    int x = 140 + g * 130 + col * 20, y = 110 + row * 20;
                    c.Rect(x + 4, y + 4, 20, 20, {30, 10, 40});
                    c.Rect(x, y, 20, 20, Mix({255, 210, 80}, {255, 120, 60}, row / 6.0));
                }
    return c;
}

// ---- actors ----

// The hero, 32x48, facing right. `stride` swings the legs and arms; `crouch` lowers the body.
Canvas Hero(double stride, int crouch, bool airborne) {
    Canvas c(32, 48, Key);
    const Rgb skin{240, 190, 150}, shirt{40, 90, 200}, trousers{40, 40, 70}, hair{90, 50, 20};
    double hip = 30 + crouch, shoulder = 18 + crouch;
    double legSwing = airborne ? 5 : stride * 7, armSwing = airborne ? -6 : -stride * 6;
    c.Limb(16, hip, 16 + legSwing, 45, 2.6, trousers);
    c.Limb(16, hip, 16 - legSwing, airborne ? 40 : 45, 2.6, trousers);
    c.Limb(16, shoulder + 1, 16 - armSwing, shoulder + 11, 2, skin);
    c.Rect(11, int(shoulder), 11, int(hip - shoulder) + 2, shirt);
    c.Limb(16, shoulder + 1, 16 + armSwing, shoulder + 11, 2, skin);
    c.Disc(17, shoulder - 7, 7, skin);
    c.Rect(10, int(shoulder) - 15, 14, 5, hair);
    c.Rect(20, int(shoulder) - 9, 2, 3, {20, 20, 20}); // the eye shows which way it faces
    return c;
}

// A bee that follows the hero: two wing positions.
Canvas Bee(int frame) {
    Canvas c(24, 24, Key);
    c.Disc(12, 14, 8, {250, 200, 30});
    c.Rect(9, 7, 3, 15, {30, 30, 30});
    c.Rect(15, 7, 3, 15, {30, 30, 30});
    c.Disc(frame ? 9 : 7, frame ? 5 : 7, 5, {220, 240, 255});
    c.Disc(18, 12, 2, {0, 0, 0});
    return c;
}

// A slime that walks a movement pattern: squashed and stretched.
Canvas Slime(int frame) {
    Canvas c(32, 24, Key);
    double h = frame ? 9 : 11, w = frame ? 15 : 13;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) {
            double dx = (x + 0.5 - 16) / w, dy = (y + 0.5 - 23) / (h * 2);
            if (dx * dx + dy * dy <= 1)
                c.Set(x, y, Mix({120, 60, 200}, {200, 140, 255}, std::max(0.0, -dy)));
        }
    c.Disc(11, 23 - h, 2, {255, 255, 255});
    c.Disc(21, 23 - h, 2, {255, 255, 255});
    return c;
}

// A bird that flies between stations: wings up and down.
Canvas Bird(int frame) {
    Canvas c(28, 18, Key);
    const Rgb body{200, 70, 50}, wing{240, 150, 90};
    c.Disc(14, 10, 6, body);
    c.Disc(21, 8, 3.5, body);
    c.Rect(24, 8, 4, 2, {250, 200, 40}); // the beak shows which way it flies
    c.Set(22, 7, {0, 0, 0});
    c.Limb(12, 9, 4, frame ? 2 : 15, 2.2, wing);
    return c;
}

// A spinning coin: its width shrinks and grows over four frames.
Canvas Coin(int frame) {
    Canvas c(16, 16, Key);
    static const double widths[] = {7, 5, 1.5, 5};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            double dx = (x + 0.5 - 8) / widths[frame], dy = (y + 0.5 - 8) / 7;
            if (dx * dx + dy * dy <= 1)
                c.Set(x, y, dx < -0.3 ? Rgb{255, 240, 120} : Rgb{230, 180, 30});
        }
    return c;
}

// ---- sounds ----

void WriteWave(const fs::path& path, const std::vector<double>& samples, int rate) {
    std::vector<std::uint8_t> out;
    auto u16 = [&](unsigned v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    unsigned bytes = unsigned(samples.size() * 2);
    tag("RIFF");
    u32(36 + bytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(bytes);
    for (double s : samples)
        u16(std::uint16_t(std::int16_t(std::lround(std::clamp(s, -1.0, 1.0) * 32000))));
    Canvas::Save(path, out);
}

constexpr int Rate = 22050;

// A tone whose frequency moves from f0 to f1, square or sine, with a linear fade-out.
std::vector<double> Sweep(double f0, double f1, double seconds, bool square) {
    std::vector<double> s(std::size_t(seconds * Rate));
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / s.size();
        phase += 2 * Pi * (f0 + (f1 - f0) * t) / Rate;
        double v = std::sin(phase);
        s[i] = 0.5 * (1 - t) * (square ? (v >= 0 ? 1 : -1) * 0.6 : v);
    }
    return s;
}

std::vector<double> CoinChime() {
    std::vector<double> s = Sweep(988, 988, 0.08, true), high = Sweep(1319, 1319, 0.25, true);
    s.insert(s.end(), high.begin(), high.end());
    return s;
}

// Wind: brown noise whose loudness rises and falls; it loops without a click.
std::vector<double> Wind() {
    std::vector<double> s(std::size_t(6 * Rate));
    Noise noise;
    double level = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        level = std::clamp(level + (noise.Next() - 0.5) * 0.04, -1.0, 1.0) * 0.999;
        double swell = 0.55 - 0.45 * std::cos(2 * Pi * i / s.size());
        s[i] = level * swell;
    }
    return s;
}

// A short looping theme as a Standard MIDI File of format 0: melody on channel 0, bass on 1.
void WriteTheme(const fs::path& path) {
    static const int melody[] = {64, 67, 72, 71, 69, 67, 64, 62, 60, 62, 64, 67, 65, 64, 62, 60};
    static const int bass[] = {48, 43, 45, 41};
    std::vector<std::uint8_t> track;
    auto event = [&](unsigned delta, std::initializer_list<std::uint8_t> bytes) {
        std::uint8_t buffer[4];
        int n = 0;
        buffer[n++] = delta & 0x7F;
        while (delta >>= 7)
            buffer[n++] = 0x80 | (delta & 0x7F);
        while (n)
            track.push_back(buffer[--n]);
        track.insert(track.end(), bytes);
    };
    event(0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}); // 500,000 microseconds per beat
    event(0, {0xC0, 11});                        // vibraphone
    event(0, {0xC1, 33});                        // fingered bass
    for (int beat = 0; beat < 16; ++beat) {
        bool bar = beat % 4 == 0;
        if (bar)
            event(0, {0x91, std::uint8_t(bass[beat / 4]), 90});
        event(0, {0x90, std::uint8_t(melody[beat]), 100});
        event(240, {0x80, std::uint8_t(melody[beat]), 0});
        if (beat % 4 == 3)
            event(0, {0x81, std::uint8_t(bass[beat / 4]), 0});
    }
    event(0, {0xFF, 0x2F, 0});
    std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 240};
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    std::uint32_t size = std::uint32_t(track.size());
    out.insert(out.end(), {std::uint8_t(size >> 24), std::uint8_t(size >> 16),
                           std::uint8_t(size >> 8), std::uint8_t(size)});
    out.insert(out.end(), track.begin(), track.end());
    Canvas::Save(path, out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: showcase_art FOLDER\n");
        return 2;
    }
    fs::path root = fs::path(argv[1]) / "Art Assets";
    fs::path maps = root / "Maps", actors = root / "Actors";
    Sky().WriteBmp(maps / "sky.bmp");
    Clouds().WriteBmp(maps / "clouds.bmp");
    World().WriteBmp(maps / "world.bmp");
    Title().WriteBmp(maps / "title.bmp");

    for (int f = 0; f < 2; ++f)
        Hero(0, f, false).WriteBmp(actors / ("hero_idle_" + std::to_string(f) + ".bmp"));
    for (int f = 0; f < 4; ++f)
        Hero(std::sin(f * Pi / 2), f % 2, false)
            .WriteBmp(actors / ("hero_run_" + std::to_string(f) + ".bmp"));
    Hero(0, 0, true).WriteBmp(actors / "hero_jump.bmp");
    for (int f = 0; f < 2; ++f) {
        Bee(f).WriteBmp(actors / ("bee_" + std::to_string(f) + ".bmp"));
        Slime(f).WriteBmp(actors / ("slime_" + std::to_string(f) + ".bmp"));
    }
    for (int f = 0; f < 4; ++f)
        Coin(f).WriteBmp(actors / ("coin_" + std::to_string(f) + ".bmp"));
    for (int f = 0; f < 2; ++f)
        Bird(f).WriteBmp(actors / ("bird_" + std::to_string(f) + ".bmp"));

    fs::path sfx = root / "Sounds" / "SFX", music = root / "Sounds" / "Music";
    WriteWave(sfx / "jump.wav", Sweep(300, 900, 0.15, true), Rate);
    WriteWave(sfx / "coin.wav", CoinChime(), Rate);
    WriteWave(sfx / "letter.wav", Sweep(1800, 1800, 0.02, false), Rate);
    WriteWave(music / "wind.wav", Wind(), Rate);
    WriteTheme(music / "theme.mid");
    return 0;
}
