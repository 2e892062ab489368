#pragma once

#include <kiv/base/Random.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>

#include <vector>

// Covers the screen 5 × 5-pixel cell by cell in random order, one step per frame: with one
// colour, with random colours or with random greys (these two shimmer, every cell taking a
// new colour each frame). It then stays covered for its hold frames.
class KIV_API RandomDissolve : public node {
public:
    // Values of the kind field.
    enum { NoEffect = -1, OneColorKind = 0, MultiColorKind = 1, BlackAndWhiteKind = 2 };
    // Side of a cell in pixels.
    enum { CellSize = 5 };

    RandomDissolve();
    ~RandomDissolve() override;

    static node* CreateObject();
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    void OneColor(COLORREF colour, int frames, int hold);
    void BlackAndWhite(int frames, int hold);
    void MultiColor(int frames, int hold);
    // One step, drawn into the back buffer; the frame loop calls it once per frame.
    void Update();
    bool IsRunning() const { return m_Running; }
    void Stop();

private:
    // Starts the effect of that kind unless one runs (then user error `busyMessage` names
    // `function`).
    bool Start(int kind, const char* function, int busyMessage, int frames, int hold);
    // The grid of the screen's cells, made (uncovered) unless it has their number already:
    // the host makes the effect once the display mode is set, but an effect made earlier,
    // or loaded from a game saved in another mode, is fitted when it starts.
    void FitScreen();
    // A uniform integer in [0, n) from the effect's own generator.
    int Draw(int n);
    // Covers up to `cells per frame` new cells, some tries missing.
    void CoverCells();
    void DrawCells();

    int m_Columns;
    int m_Rows;
    int m_CellsPerFrame;
    // Column after column, one flag per cell.
    std::vector<unsigned char> m_Covered;
    COLORREF m_Colour;
    int m_Frame;
    int m_Hold;
    int m_Duration;
    bool m_Running;
    int m_Kind;
    Random m_Random;
};

extern KIV_API RandomDissolve* Effect_RandomDissolve;
