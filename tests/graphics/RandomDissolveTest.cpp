// The random dissolve: which 5 × 5 cells it covers, in which order and in which colours,
// against a replay of its draws from a generator of the same kind.
#include "EffectFixture.h"

#include <map>
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
    // Every pixel: the colour of its covered cell, or the background.
    void ExpectCells(const std::map<std::pair<int, int>, COLORREF>& cells) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                auto it = cells.find({x / 5, y / 5});
                ASSERT_EQ(Drawn(x, y), it == cells.end() ? Background : it->second)
                    << x << ", " << y;
            }
    }

    RandomDissolve effect;
};

// The effect's draws made again: each cell to cover gets up to 50 tries at a cell of the
// grid widened by two columns and two rows; then the cells are drawn column after column.
struct Replay {
    Random random;
    std::map<std::pair<int, int>, COLORREF> covered; // ordered by column, then row
    COLORREF Next(int n) { return static_cast<COLORREF>(random.Next() * static_cast<float>(n)); }
    void Cover(int cells) {
        for (int n = 0; n < cells; ++n)
            for (int attempt = 0; attempt < 50; ++attempt) {
                int x = static_cast<int>(Next(Columns + 2)), y = static_cast<int>(Next(Rows + 2));
                if (x < Columns && y < Rows && covered.emplace(std::pair{x, y}, 0).second)
                    break;
            }
    }
};

} // namespace

TEST_F(Dissolve, CellsAreCoveredAndColouredInTheDesignedOrder) {
    effect.OneColor(0x0000FF, 4, 1); // 48 cells, 12 a step
    Replay replay;
    for (int step = 1; step <= 3; ++step) {
        Step();
        replay.Cover(12);
        for (auto& cell : replay.covered)
            cell.second = 0x0000FF;
        ExpectCells(replay.covered);
    }
    effect.Stop();

    effect.BlackAndWhite(6, 0); // the generator goes on; every cell takes a grey each step
    replay.covered.clear();
    for (int step = 1; step <= 2; ++step) {
        Step();
        replay.Cover(8);
        for (auto& cell : replay.covered) {
            COLORREF v = replay.Next(256);
            cell.second = v | v << 8 | v << 16;
        }
        ExpectCells(replay.covered);
    }
    effect.Stop();

    effect.MultiColor(6, 0); // and a colour: red, green, blue drawn in that order
    replay.covered.clear();
    Step();
    replay.Cover(8);
    for (auto& cell : replay.covered) {
        COLORREF r = replay.Next(256), g = replay.Next(256);
        cell.second = r | g << 8 | replay.Next(256) << 16;
    }
    ExpectCells(replay.covered);
}

TEST_F(Dissolve, ItHoldsThenStopsAndRefusesASecondOne) {
    effect.OneColor(0xFFFFFF, 2, 3);
    effect.BlackAndWhite(2, 0);
    EXPECT_EQ(LastError(), "void RandomDissolve::BlackAndWhite(int,int) | The effect "
                           "BlackAndWhite can't be set because another RandomDissolve effect is "
                           "running.");
    for (int i = 0; i < 6; ++i)
        Step();
    EXPECT_TRUE(effect.IsRunning());
    Step();
    EXPECT_FALSE(effect.IsRunning());
    ExpectCells({});
}

TEST_F(Dissolve, AFullScreenGridAndItsRecord) {
    kiv::CloseGraphics();
    Start(640, 480, 16, true);
    effect.OneColor(0x00FF00, 60, 5);
    Step();
    std::vector<unsigned char> bytes = Record(effect);
    const size_t grid = 12, cells = 128 * 96;
    ASSERT_EQ(bytes.size(), grid + cells + 4 + 3 * 4 + 1 + 4 + 34 * 4);
    EXPECT_EQ((std::vector<unsigned char>(bytes.begin(), bytes.begin() + 12)),
              (std::vector<unsigned char>{128, 0, 0, 0, 96, 0, 0, 0, 204, 0, 0, 0}));
    int covered = 0;
    for (size_t i = 0; i < cells; ++i)
        covered += bytes[grid + i];
    EXPECT_GT(covered, 150);
    EXPECT_LE(covered, 204);
    for (int row = 0; row < 96; ++row) // column after column: the first column comes first
        ASSERT_EQ(bytes[grid + row] != 0, Drawn(0, row * 5) == 0x00FF00) << row;

    RandomDissolve loaded;
    {
        File file("record.bin", File::Reading);
        loaded.Load(file);
    }
    EXPECT_EQ(Record(loaded, "again.bin"), bytes);
    loaded.Update(); // both go on with the same cells
    effect.Update();
    EXPECT_EQ(Record(loaded, "next.bin"), Record(effect, "next2.bin"));
}

TEST_F(Dissolve, AnIdleEffectHasTheScreensGridInItsRecord) {
    RandomDissolve idle; // made once the display mode is set, as the host makes it
    std::vector<unsigned char> bytes = Record(idle);
    const size_t grid = 12, cells = Columns * Rows;
    ASSERT_EQ(bytes.size(), grid + cells + 4 + 3 * 4 + 1 + 4 + 34 * 4);
    EXPECT_EQ((std::vector<unsigned char>(bytes.begin(), bytes.begin() + 12)),
              (std::vector<unsigned char>{Columns, 0, 0, 0, Rows, 0, 0, 0, 0, 0, 0, 0}));
    for (size_t i = 0; i < cells; ++i)
        ASSERT_EQ(bytes[grid + i], 0) << i;
    const size_t kind = grid + cells + 4 + 3 * 4 + 1;
    EXPECT_EQ((std::vector<unsigned char>(bytes.begin() + kind, bytes.begin() + kind + 4)),
              (std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFF})); // no effect
}
