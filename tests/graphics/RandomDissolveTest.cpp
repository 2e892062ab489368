// The random dissolve: which 5 × 5 cells it covers, in which order and in which colours,
// against a replay of its draws from a generator of the same kind.
#include "EffectFixture.h"

#include <functional>
#include <map>
#include <set>
#include <utility>

namespace {

constexpr int W = 40, H = 32; // 8 × 6 cells; two rows of pixels stay out of the grid
constexpr int Columns = W / 5, Rows = H / 5;
constexpr COLORREF Background = 0x202020;

class Dissolve : public kiv::test::EffectDisplay {
protected:
    void SetUp() override {
        EffectDisplay::SetUp();
        Start(W, H, 32, true);
    }
    void Step() {
        back->Fill(back->MatchColor(Background));
        effect.Update();
    }
    // The draws of the effect's steps, made again: each cell to cover gets up to 50 tries
    // at a cell of the grid widened by two columns and two rows.
    struct Replay {
        Random random;
        std::set<std::pair<int, int>> covered;
        int Next(int n) { return static_cast<int>(random.Next() * static_cast<float>(n)); }
        void Cover(int cells) {
            for (int n = 0; n < cells; ++n)
                for (int attempt = 0; attempt < 50; ++attempt) {
                    int x = Next(Columns + 2), y = Next(Rows + 2);
                    if (x < Columns && y < Rows && covered.insert({x, y}).second)
                        break;
                }
        }
    };
    // Every pixel: the colour of its covered cell, or the background.
    void ExpectCells(const std::function<COLORREF(int, int)>& cellColour) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                COLORREF expected = Background;
                if (x / 5 < Columns && y / 5 < Rows)
                    expected = cellColour(x / 5, y / 5);
                ASSERT_EQ(Drawn(x, y), expected) << "at " << x << ", " << y;
            }
    }

    RandomDissolve effect;
};

} // namespace

TEST_F(Dissolve, OneColourCoversTheSameCellsInTheSameOrder) {
    effect.OneColor(0x0000FF, 4, 1); // 48 cells, 12 a step
    Replay replay;
    for (int step = 1; step <= 3; ++step) {
        Step();
        replay.Cover(12);
        ExpectCells([&](int x, int y) {
            return replay.covered.count({x, y}) ? COLORREF{0x0000FF} : Background;
        });
    }
}

TEST_F(Dissolve, GreysAndColoursTakeNewValuesForEveryCellEveryFrame) {
    effect.BlackAndWhite(6, 0);
    Replay replay;
    for (int step = 1; step <= 2; ++step) {
        Step();
        replay.Cover(8);
        // Cells are drawn column after column, each taking its own grey.
        std::map<std::pair<int, int>, COLORREF> grey;
        for (const auto& cell : replay.covered) { // std::set orders by column, then row
            COLORREF v = static_cast<COLORREF>(replay.Next(256));
            grey[cell] = v | v << 8 | v << 16;
        }
        ExpectCells([&](int x, int y) {
            auto it = grey.find({x, y});
            return it == grey.end() ? Background : it->second;
        });
    }
    effect.Stop();

    effect.MultiColor(6, 0); // the effect's generator goes on where it was
    replay.covered.clear();
    Step();
    replay.Cover(8);
    std::map<std::pair<int, int>, COLORREF> colour;
    for (const auto& cell : replay.covered) {
        COLORREF r = static_cast<COLORREF>(replay.Next(256));
        COLORREF g = static_cast<COLORREF>(replay.Next(256));
        colour[cell] = r | g << 8 | static_cast<COLORREF>(replay.Next(256)) << 16;
    }
    ExpectCells([&](int x, int y) {
        auto it = colour.find({x, y});
        return it == colour.end() ? Background : it->second;
    });
}

TEST_F(Dissolve, ItHoldsThenStopsAndForgetsItsCells) {
    effect.OneColor(0xFFFFFF, 2, 3);
    for (int i = 0; i < 6; ++i) {
        Step();
        ASSERT_TRUE(effect.IsRunning());
    }
    Step();
    EXPECT_FALSE(effect.IsRunning());
    ExpectCells([](int, int) { return Background; });
    effect.MultiColor(2, 0);
    EXPECT_EQ(LastError(), "");
    effect.OneColor(0, 2, 0);
    EXPECT_EQ(LastError(), "void RandomDissolve::OneColor(unsigned long,int,int) | The effect "
                           "OneColor can't be set because another RandomDissolve effect is "
                           "running.");
    effect.BlackAndWhite(2, 0);
    EXPECT_EQ(LastError(), "void RandomDissolve::BlackAndWhite(int,int) | The effect "
                           "BlackAndWhite can't be set because another RandomDissolve effect is "
                           "running.");
}

TEST_F(Dissolve, AFullScreenGridAndItsRecord) {
    kiv::CloseGraphics();
    Start(640, 480, 16, true);
    effect.OneColor(0x00FF00, 60, 5);
    Step();
    std::vector<unsigned char> bytes = Record(effect);
    auto Int = [&](size_t at) {
        return static_cast<int>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                bytes[at + 3] << 24);
    };
    EXPECT_EQ(Int(0), 128);
    EXPECT_EQ(Int(4), 96);
    EXPECT_EQ(Int(8), 204); // cells a step
    const size_t grid = 12, cells = 128 * 96;
    ASSERT_EQ(bytes.size(), grid + cells + 4 + 3 * 4 + 1 + 4 + 34 * 4);
    int covered = 0;
    for (size_t i = 0; i < cells; ++i)
        covered += bytes[grid + i];
    EXPECT_GT(covered, 150);
    EXPECT_LE(covered, 204);
    // Column after column: the first column's cells are bytes 0 to 95 of the grid.
    for (int row = 0; row < 96; ++row)
        ASSERT_EQ(bytes[grid + row] != 0, Drawn(0, row * 5) == 0x00FF00) << row;

    RandomDissolve loaded;
    {
        File file("record.bin", File::Reading);
        loaded.Load(file);
    }
    EXPECT_EQ(Record(loaded, "again.bin"), bytes);
    // Both go on drawing the same cells.
    loaded.Update();
    std::vector<unsigned char> next = Record(loaded, "next.bin");
    effect.Update();
    EXPECT_EQ(Record(effect, "next2.bin"), next);
}
