#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/graphics/RandomDissolve.h>
#include <kiv/graphics/Screen.h>

#include "base/Messages.h"
#include "graphics/Display.h"

#include <algorithm>

RandomDissolve* Effect_RandomDissolve = nullptr;

namespace {

CREATE registration("RandomDissolve", RandomDissolve::CreateObject);

// Tries to find an uncovered cell for each cell a step should cover.
constexpr int Attempts = 50;

} // namespace

RandomDissolve::RandomDissolve()
    : m_Columns(0), m_Rows(0), m_CellsPerFrame(0), m_Colour(0), m_Frame(0), m_Hold(0),
      m_Duration(0), m_Running(false), m_Kind(NoEffect) {
    FitScreen();
}

RandomDissolve::~RandomDissolve() = default;

node* RandomDissolve::CreateObject() {
    return new RandomDissolve;
}

const char* RandomDissolve::ClassName() {
    return "RandomDissolve";
}

bool RandomDissolve::Start(int kind, const char* function, int busyMessage, int frames, int hold) {
    if (m_Running) {
        kiv::ReportUserError(function, busyMessage);
        return false;
    }
    FitScreen();
    m_Duration = frames;
    // A dissolve takes at least one frame.
    m_CellsPerFrame = m_Columns * m_Rows / std::max(frames, 1);
    m_Hold = hold;
    m_Kind = kind;
    m_Running = true;
    return true;
}

void RandomDissolve::FitScreen() {
    int columns = std::max(kiv::ModeWidth / CellSize, 0);
    int rows = std::max(kiv::ModeHeight / CellSize, 0);
    if (columns == m_Columns && rows == m_Rows && !m_Covered.empty())
        return;
    m_Columns = columns;
    m_Rows = rows;
    m_Covered.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0);
}

void RandomDissolve::OneColor(COLORREF colour, int frames, int hold) {
    if (Start(OneColorKind, "void RandomDissolve::OneColor(unsigned long,int,int)", 65, frames,
              hold))
        m_Colour = colour;
}

void RandomDissolve::BlackAndWhite(int frames, int hold) {
    Start(BlackAndWhiteKind, "void RandomDissolve::BlackAndWhite(int,int)", 66, frames, hold);
}

void RandomDissolve::MultiColor(int frames, int hold) {
    Start(MultiColorKind, "void RandomDissolve::MultiColor(int,int)", 67, frames, hold);
}

int RandomDissolve::Draw(int n) {
    return static_cast<int>(m_Random.Next() * static_cast<float>(n));
}

void RandomDissolve::Update() {
    if (m_Frame > static_cast<long long>(m_Duration) + m_Hold) {
        Stop();
        return;
    }
    if (!m_Running)
        return;
    ++m_Frame;
    if (pScreen)
        pScreen->Start();
    CoverCells();
    DrawCells();
    if (pScreen)
        pScreen->Stop();
}

void RandomDissolve::CoverCells() {
    // A step never asks for more cells than the grid has (a damaged saved game might).
    int wanted = static_cast<int>(std::min<size_t>(std::max(m_CellsPerFrame, 0), m_Covered.size()));
    for (int n = 0; n < wanted; ++n)
        for (int attempt = 0; attempt < Attempts; ++attempt) {
            int x = Draw(m_Columns + 2);
            int y = Draw(m_Rows + 2);
            if (x >= m_Columns || y >= m_Rows)
                continue;
            unsigned char& cell = m_Covered[static_cast<size_t>(x) * m_Rows + y];
            if (!cell) {
                cell = 1;
                break;
            }
        }
}

void RandomDissolve::DrawCells() {
    // Without a display the cells are still covered, but nothing can show them.
    if (!pScreen)
        return;
    const bool palette = kiv::ModeBitsPerPixel == 8;
    for (int x = 0; x < m_Columns; ++x)
        for (int y = 0; y < m_Rows; ++y) {
            if (!m_Covered[static_cast<size_t>(x) * m_Rows + y])
                continue;
            int px = x * CellSize, py = y * CellSize;
            if (m_Kind == OneColorKind) {
                pScreen->Rect(px, py, CellSize, CellSize, m_Colour);
            } else if (palette) {
                int index = m_Kind == MultiColorKind ? Draw(256) : 255 * Draw(2);
                pScreen->PaletteRect(px, py, CellSize, CellSize, static_cast<unsigned char>(index));
            } else if (m_Kind == MultiColorKind) {
                COLORREF r = static_cast<COLORREF>(Draw(256));
                COLORREF g = static_cast<COLORREF>(Draw(256));
                COLORREF b = static_cast<COLORREF>(Draw(256));
                pScreen->Rect(px, py, CellSize, CellSize, r | g << 8 | b << 16);
            } else {
                auto v = static_cast<COLORREF>(Draw(256));
                pScreen->Rect(px, py, CellSize, CellSize, v | v << 8 | v << 16);
            }
        }
}

void RandomDissolve::Stop() {
    std::fill(m_Covered.begin(), m_Covered.end(), 0);
    m_Frame = m_Hold = m_Duration = m_CellsPerFrame = 0;
    m_Running = false;
    m_Kind = NoEffect;
}

void RandomDissolve::Save(File& file) {
    file.Write(m_Columns);
    file.Write(m_Rows);
    file.Write(m_CellsPerFrame);
    if (!m_Covered.empty())
        file.Write(m_Covered.data(), static_cast<int>(m_Covered.size()));
    file.Write(static_cast<unsigned long>(m_Colour));
    file.Write(m_Frame);
    file.Write(m_Hold);
    file.Write(m_Duration);
    file.Write(m_Running);
    file.Write(m_Kind);
    m_Random.Save(file);
}

void RandomDissolve::Load(File& file) {
    file.Read(m_Columns);
    file.Read(m_Rows);
    file.Read(m_CellsPerFrame);
    long cells = static_cast<long>(m_Columns) * m_Rows;
    if (m_Columns < 0 || m_Rows < 0)
        cells = -1; // damaged: ends in the message naming the file
    file.Require(cells);
    std::vector<unsigned char> covered(static_cast<size_t>(cells));
    if (cells > 0)
        file.Read(covered.data(), static_cast<int>(cells));
    for (unsigned char& c : covered)
        c = c != 0;
    m_Covered = std::move(covered);
    unsigned long colour = 0;
    file.Read(colour);
    m_Colour = static_cast<COLORREF>(colour);
    file.Read(m_Frame);
    file.Read(m_Hold);
    file.Read(m_Duration);
    file.Read(m_Running);
    file.Read(m_Kind);
    m_Random.Load(file);
}
