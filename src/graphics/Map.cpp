#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/graphics/Map.h>
#include <kiv/logic/Alarm.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>

#include "base/ListFilter.h"
#include "base/LocalVariables.h"
#include "base/Messages.h"
#include "data/DataLimits.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "graphics/MapParts.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"
#include "sprites/SpriteSweep.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using kiv::Intersect;
using kiv::Moved;
using kiv::Round;

namespace {

CREATE registration("Map", Map::CreateObject);

constexpr unsigned int BltWait = 0x1000000;
constexpr unsigned int BltKeySrc = 0x8000;
constexpr int DefaultGrid = 128;

std::vector<std::unique_ptr<kiv::MapImage>>& Cache() {
    static std::vector<std::unique_ptr<kiv::MapImage>> cache;
    return cache;
}

ViewPort& View() {
    static ViewPort none;
    return gNode ? gNode->GetViewPort() : none;
}

bool Touches(const KivRect& a, const KivRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

Map MapPTR::dummyMapPtr;

Map* MapPTR::Fallback() {
    // Whatever logic did through a handle, the fallback stays out of sight.
    dummyMapPtr.Visible(false);
    return &dummyMapPtr;
}

namespace {

// The fallback is invisible from the start, before any handle has handed it out.
[[maybe_unused]] const bool fallbackHidden = (MapPTR::dummyMapPtr.Visible(false), true);

} // namespace

Map::Map() : m_Image(nullptr), m_Wrap(nullptr) {
    Init();
}

Map::Map(const Map& o)
    : node(o), m_Image(nullptr), m_Wrap(o.m_Wrap ? new kiv::WrapBlock(*o.m_Wrap) : nullptr),
      m_Id(o.m_Id), m_Name(o.m_Name), m_FileName(o.m_FileName), m_IsMasterMap(o.m_IsMasterMap),
      m_Height(o.m_Height), m_Width(o.m_Width), m_GridRows(o.m_GridRows),
      m_GridColumns(o.m_GridColumns), m_WorldX(o.m_WorldX), m_WorldY(o.m_WorldY),
      m_ViewX(o.m_ViewX), m_ViewY(o.m_ViewY), m_RangeX(o.m_RangeX), m_RangeY(o.m_RangeY),
      m_ZOrder(o.m_ZOrder), m_Visible(o.m_Visible), m_ScrollRatioX(o.m_ScrollRatioX),
      m_ScrollRatioY(o.m_ScrollRatioY), m_SpeedX(o.m_SpeedX), m_SpeedY(o.m_SpeedY),
      m_TransparencyColor(o.m_TransparencyColor), m_ImageRect(o.m_ImageRect),
      m_PlacedRect(o.m_PlacedRect), m_SourceRect(o.m_SourceRect),
      m_DestinationRect(o.m_DestinationRect), m_DisplayRect(o.m_DisplayRect),
      m_ScreenFixed(o.m_ScreenFixed), m_Pause(o.m_Pause), m_BlitFlags(o.m_BlitFlags),
      m_Type(o.m_Type), m_LocalVariableIndex(o.m_LocalVariableIndex), m_Reserved(o.m_Reserved),
      m_AlarmCount(o.m_AlarmCount), m_AlarmMaximum(o.m_AlarmMaximum),
      m_ShowCollision(o.m_ShowCollision), m_GridSize(o.m_GridSize), m_Unused(o.m_Unused),
      m_Alarms(o.m_Alarms), m_Shapes(o.m_Shapes), m_Grid(o.m_Grid),
      m_ShownVariables(o.m_ShownVariables), m_Behavior(o.m_Behavior) {
    localVariable = o.localVariable ? o.localVariable->Clone() : nullptr;
    if (!m_FileName.empty()) {
        kiv::ImageDirectory = kiv::MapsPath;
        LoadMap();
    }
}

Map::~Map() {
    FreeMap();
    delete m_Wrap;
    delete localVariable;
}

node* Map::Clone() {
    return new Map(*this);
}

node* Map::CreateObject() {
    return new Map;
}

const char* Map::ClassName() {
    return "Map";
}

void Map::Init() {
    FreeMap();
    delete m_Wrap;
    m_Wrap = nullptr;
    m_Id = 0;
    m_Name = "";
    m_FileName = "";
    m_IsMasterMap = false;
    m_Height = m_Width = 0;
    m_GridRows = m_GridColumns = 1;
    m_WorldX = m_WorldY = m_ViewX = m_ViewY = 0;
    m_RangeX = m_RangeY = 0;
    m_ZOrder = 0;
    m_Visible = true;
    m_ScrollRatioX = m_ScrollRatioY = m_SpeedX = m_SpeedY = 0;
    m_TransparencyColor = 0;
    m_ImageRect = m_PlacedRect = m_SourceRect = m_DestinationRect = m_DisplayRect = zrect;
    m_ScreenFixed = true;
    m_Pause = false;
    m_BlitFlags = BltWait;
    m_Type = Standard;
    m_LocalVariableIndex = -1;
    m_Reserved = false;
    m_AlarmCount = 0;
    m_AlarmMaximum = 512;
    m_ShowCollision = false;
    m_GridSize = DefaultGrid;
    m_Unused = false;
    m_Alarms.del();
    m_Shapes.del();
    m_Grid.assign(1, List());
    m_ShownVariables.clear();
    m_ShownVariables.reserve(10);
}

Map::Map(const char* name, const char* file, MapType type, int zOrder, int x, int y,
         bool screenFixed, KivRect rect)
    : Map() {
    if (type == Master)
        InitMasterMap(name, file, zOrder);
    else if (type == Standard)
        InitStandardMap(name, file, zOrder, x, y, screenFixed, rect);
    else
        InitWrappedMap(name, file, zOrder, x, y, screenFixed, rect);
}

kiv::Surface* Map::Surface() const {
    return m_Image ? m_Image->surface.get() : nullptr;
}

const kiv::Surface* Map::Image() const {
    return Surface();
}

// Steps shared by every kind: the name and file, and the image, which must exist.
void Map::Place(const char* name, const char* file, int zOrder) {
    m_ZOrder = zOrder;
    m_Name = name;
    m_FileName = file;
    kiv::ImageDirectory = kiv::MapsPath;
    LoadMap();
    if (!Surface())
        kiv::ExitWithUserError("void Map::LoadMap()", kiv::ImageFailureMessage(m_FileName),
                               m_FileName.operator const char*());
    m_Width = static_cast<unsigned int>(Surface()->Width());
    m_Height = static_cast<unsigned int>(Surface()->Height());
    m_ImageRect = {0, 0, Surface()->Width(), Surface()->Height()};
}

void Map::InitMasterMap(const char* name, const char* file, int zOrder) {
    Init();
    m_IsMasterMap = true;
    m_Type = Master;
    kiv::PaletteFileName = file;
    m_ViewX = -View().WorldXPos();
    m_ViewY = -View().WorldYPos();
    Place(name, file, zOrder);
    if (View().Width() > static_cast<float>(m_Width) ||
        View().Height() > static_cast<float>(m_Height))
        kiv::ExitWithUserError("void Map::InitMasterMap(const char *,const char *,int)", 15,
                               m_FileName.operator const char*());
}

void Map::InitStandardMap(const char* name, const char* file, int zOrder, int x, int y,
                          bool screenFixed, KivRect displayRect) {
    Init();
    m_Type = Standard;
    Place(name, file, zOrder);
    m_WorldX = static_cast<float>(x);
    m_WorldY = static_cast<float>(y);
    m_ViewX = m_WorldX - View().WorldXPos();
    m_ViewY = m_WorldY - View().WorldYPos();
    auto range = [](unsigned int world, unsigned int image) {
        return world > image ? static_cast<int>(world - image) : 0;
    };
    m_RangeX = range(gNode ? gNode->WorldWidth() : 0, m_Width);
    m_RangeY = range(gNode ? gNode->WorldHeight() : 0, m_Height);
    m_ScreenFixed = screenFixed;
    m_DisplayRect = displayRect;
    if (screenFixed)
        m_DisplayRect = Moved(m_DisplayRect, -static_cast<int>(View().WorldXPos()),
                              -static_cast<int>(View().WorldYPos()));
}

void Map::InitWrappedMap(const char* name, const char* file, int zOrder, int x, int y,
                         bool screenFixed, KivRect displayRect) {
    Init();
    m_Type = Wrapped;
    Place(name, file, zOrder);
    m_WorldX = static_cast<float>(x);
    m_WorldY = static_cast<float>(y);
    m_ScreenFixed = screenFixed;
    auto* w = new kiv::WrapBlock{};
    m_Wrap = w;
    w->displayLeft = displayRect.left;
    w->displayTop = displayRect.top;
    m_DisplayRect = Moved(displayRect, -displayRect.left, -displayRect.top);
    m_ViewX = static_cast<float>(x - displayRect.left);
    m_ViewY = static_cast<float>(y - displayRect.top);
    w->screenFixed = screenFixed;
    bool narrower = m_DisplayRect.right < m_ImageRect.right;
    bool lower = m_DisplayRect.bottom < m_ImageRect.bottom;
    if (narrower && lower) {
        w->mode = 1;
        w->window = m_DisplayRect;
        w->wrap = m_ImageRect;
    } else if (!narrower && !lower) {
        w->mode = 2;
        w->window = m_ImageRect;
        w->wrap = m_DisplayRect;
    } else {
        w->mode = narrower ? 3 : 4;
        w->window = m_DisplayRect;
        w->wrap = m_ImageRect;
        (narrower ? w->wrap.bottom : w->wrap.right) =
            narrower ? m_DisplayRect.bottom : m_DisplayRect.right;
        w->clip = m_ImageRect;
    }
    w->windowWidth = w->window.right - w->window.left;
    w->windowHeight = w->window.bottom - w->window.top;
    w->wrapWidth = w->wrap.right - w->wrap.left;
    w->wrapHeight = w->wrap.bottom - w->wrap.top;
    w->initialWindow = w->window;
    w->creationX = static_cast<int>(View().WorldXPos());
    w->creationY = static_cast<int>(View().WorldYPos());
}

void Map::TransparencyColor(COLORREF c) {
    bool reload = m_Image && c != m_TransparencyColor;
    m_TransparencyColor = c;
    if (reload) {
        kiv::ImageDirectory = kiv::MapsPath;
        LoadMap();
    }
}

void Map::UseTransparency(bool on) {
    m_BlitFlags = on ? (m_BlitFlags | BltKeySrc) : (m_BlitFlags & ~BltKeySrc);
}

bool Map::UseTransparency() const {
    return (m_BlitFlags & BltKeySrc) != 0;
}

// ---- positions ----

unsigned int Map::ViewPortX() {
    if (m_Type == Wrapped) {
        kiv::ReportUserError("unsigned int Map::ViewPortX()", 16);
        return 0;
    }
    return static_cast<unsigned int>(m_IsMasterMap ? Round(-View().WorldXPos()) : Round(m_ViewX));
}

unsigned int Map::ViewPortY() {
    if (m_Type == Wrapped) {
        kiv::ReportUserError("unsigned int Map::ViewPortY()", 17);
        return 0;
    }
    return static_cast<unsigned int>(m_IsMasterMap ? Round(-View().WorldYPos()) : Round(m_ViewY));
}

float Map::WorldPositionX() {
    if (m_Type == Wrapped) {
        kiv::ReportUserError("float Map::WorldPositionX()", 18);
        return 0;
    }
    return m_IsMasterMap ? 0 : m_WorldX;
}

float Map::WorldPositionY() {
    if (m_Type == Wrapped) {
        kiv::ReportUserError("float Map::WorldPositionY()", 19);
        return 0;
    }
    return m_IsMasterMap ? 0 : m_WorldY;
}

void Map::WorldPositionX(float x) {
    if (m_Type == Standard)
        m_WorldX = x;
}

void Map::WorldPositionY(float y) {
    if (m_Type == Standard)
        m_WorldY = y;
}

void Map::WorldPositionXInc(float delta, float max) {
    if (m_Type == Standard)
        m_WorldX = m_WorldX + delta >= max ? max : m_WorldX + delta;
}

void Map::WorldPositionXDec(float delta, float min) {
    if (m_Type == Standard)
        m_WorldX = m_WorldX - delta <= min ? min : m_WorldX - delta;
}

void Map::WorldPositionYInc(float delta, float max) {
    if (m_Type == Standard)
        m_WorldY = m_WorldY + delta >= max ? max : m_WorldY + delta;
}

void Map::WorldPositionYDec(float delta, float min) {
    if (m_Type == Standard)
        m_WorldY = m_WorldY - delta <= min ? min : m_WorldY - delta;
}

// ---- drawing ----

void Map::Blit(const KivRect& to, const KivRect& from) {
    kiv::Surface* back = kiv::BackBuffer();
    kiv::Surface* image = Surface();
    if (!back || !image)
        return;
    unsigned int flags =
        UseTransparency() ? static_cast<unsigned int>(kiv::Surface::UseColorKey) : 0u;
    if (back->Blit(to.left, to.top, *image, from, flags) == kiv::Surface::Result::Lost) {
        kiv::RestoreGraphics();
        back = kiv::BackBuffer();
        image = Surface();
        if (back && image)
            back->Blit(to.left, to.top, *image, from, flags);
    }
}

void Map::DisplayMap() {
    switch (m_Type) {
    case Master:
        DisplayMasterMap();
        break;
    case Standard:
        DisplayStandardMap();
        break;
    case Wrapped:
        DisplayWrappedMap();
        break;
    }
    if (m_ShowCollision)
        ShowMapCollision(COLORREF{0xFFFFFF});
}

void Map::DisplayMasterMap() {
    if (!m_Visible || kiv::GamePaused)
        return;
    KivRect shown = Intersect(View().IntWorldRect(), m_ImageRect);
    if (kiv::Empty(shown))
        return;
    Blit({0, 0, shown.right - shown.left, shown.bottom - shown.top}, shown);
}

void Map::UpdateStandardMap() {
    float dx = 0, dy = 0;
    if (m_ScrollRatioX == 0 && m_ScrollRatioY == 0) {
        if (m_RangeX != 0)
            dx = m_SpeedX;
        if (m_RangeY != 0)
            dy = m_SpeedY;
    } else {
        const float* step = View().CurrentDeltaScroll();
        if (m_RangeX != 0)
            dx = step[0] * m_ScrollRatioX;
        if (m_RangeY != 0)
            dy = step[1] * m_ScrollRatioY;
    }
    auto clamp = [](float d, float position, int range) {
        if (position + d < 0)
            return -position;
        if (static_cast<float>(range) <= position + d)
            return static_cast<float>(range) - position;
        return d;
    };
    dx = clamp(dx, m_WorldX, m_RangeX);
    dy = clamp(dy, m_WorldY, m_RangeY);
    m_WorldX += dx;
    m_WorldY += dy;
    m_ViewX = m_WorldX - View().WorldXPos();
    m_ViewY = m_WorldY - View().WorldYPos();
}

void Map::DisplayStandardMap() {
    if (!m_Pause)
        UpdateStandardMap();
    int vx = Round(m_ViewX), vy = Round(m_ViewY);
    m_PlacedRect = Moved(m_ImageRect, vx, vy);
    KivRect clip = m_DisplayRect;
    if (!m_ScreenFixed)
        clip = Moved(clip, -Round(View().WorldXPos()), -Round(View().WorldYPos()));
    m_DestinationRect = Intersect(m_PlacedRect, clip);
    if (kiv::Empty(m_DestinationRect))
        return;
    m_SourceRect = Moved(m_DestinationRect, -vx, -vy);
    if (!m_Visible || kiv::GamePaused)
        return;
    FRECT screen = View().Rect();
    KivRect viewport = {static_cast<int>(screen.left), static_cast<int>(screen.top),
                        static_cast<int>(screen.right), static_cast<int>(screen.bottom)};
    if (Touches(m_DestinationRect, viewport))
        Blit(m_DestinationRect, m_SourceRect);
}

void Map::UpdateWrappedMap() {
    kiv::WrapBlock& w = *m_Wrap;
    const float* step = View().CurrentDeltaScroll();
    m_ViewX += step[0] * m_ScrollRatioX + m_SpeedX;
    m_ViewY += step[1] * m_ScrollRatioY + m_SpeedY;
    int ox = Round(m_ViewX), oy = Round(m_ViewY);
    w.viewportX = w.screenFixed ? w.creationX : static_cast<int>(View().WorldXPos());
    w.viewportY = w.screenFixed ? w.creationY : static_cast<int>(View().WorldYPos());
    if (w.mode != 2) {
        ox = -ox;
        oy = -oy;
    }
    if (w.wrapWidth <= 0 || w.wrapHeight <= 0) {
        w.pieces = 0; // an empty wrap area (damaged saved data): nothing to tile
        return;
    }
    int rx = ox % w.wrapWidth, ry = oy % w.wrapHeight;
    rx += rx < 0 ? w.wrapWidth : 0;
    ry += ry < 0 ? w.wrapHeight : 0;
    w.window = Moved(w.initialWindow, rx, ry);

    // Cut the window by the wrap area's right and bottom edges; parts beyond an edge come
    // back from the opposite side.
    w.pieces = 0;
    const int xs[] = {w.window.left, std::min(w.window.right, w.wrap.right), w.window.right};
    const int ys[] = {w.window.top, std::min(w.window.bottom, w.wrap.bottom), w.window.bottom};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            KivRect piece = {std::max(xs[i], i ? w.wrap.right : xs[0]),
                             std::max(ys[j], j ? w.wrap.bottom : ys[0]), xs[i + 1], ys[j + 1]};
            if (kiv::Empty(piece))
                continue;
            w.p[w.pieces] = Moved(piece, -w.window.left, -w.window.top);
            w.q[w.pieces] = Moved(piece, i ? -w.wrapWidth : 0, j ? -w.wrapHeight : 0);
            ++w.pieces;
        }

    int shiftX = w.displayLeft - w.viewportX, shiftY = w.displayTop - w.viewportY;
    if (w.mode == 3 || w.mode == 4) {
        unsigned int kept = 0;
        for (unsigned int k = 0; k < w.pieces; ++k) {
            KivRect q = Intersect(w.q[k], w.clip);
            if (kiv::Empty(q))
                continue;
            KivRect p = w.p[k];
            p.left += q.left - w.q[k].left;
            p.top += q.top - w.q[k].top;
            p.right = p.left + (q.right - q.left);
            p.bottom = p.top + (q.bottom - q.top);
            w.q[kept] = q;
            w.p[kept] = p;
            ++kept;
        }
        w.pieces = kept;
    }
    for (unsigned int k = 0; k < w.pieces; ++k) {
        KivRect& placed = w.mode == 2 ? w.q[k] : w.p[k];
        placed = Moved(placed, shiftX, shiftY);
    }
}

void Map::DisplayWrappedMap() {
    if (!m_Wrap)
        return;
    if (!m_Pause)
        UpdateWrappedMap();
    if (!m_Visible || kiv::GamePaused)
        return;
    const kiv::WrapBlock& w = *m_Wrap;
    for (unsigned int k = 0; k < w.pieces && k < 4; ++k) {
        if (w.mode == 2)
            Blit(w.q[k], w.p[k]);
        else
            Blit(w.p[k], w.q[k]);
    }
}

void Map::ShowMapCollision(COLORREF colour) {
    GeometricsDrawn draw;
    for (node* n = m_Shapes.Head(); !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (shape->Type() == CollisionData::SegmentType) {
            auto* s = static_cast<CollisionSegment*>(shape);
            draw.Line(s->OriginX(), s->OriginY(), s->EndX(), s->EndY(), colour);
        } else {
            auto* c = static_cast<CollisionCircle*>(shape);
            draw.Circle(c->OriginX(), c->OriginY(), c->Radius(), colour);
        }
    }
}

// ---- images ----

void Map::LoadMap() {
    FreeMap();
    auto& cache = Cache();
    for (auto& entry : cache)
        if (entry->file == m_FileName.operator const char*() && entry->key == m_TransparencyColor) {
            ++entry->references;
            m_Image = entry.get();
            return;
        }
    std::unique_ptr<kiv::Surface> surface = kiv::LoadImageSurface(m_FileName, m_TransparencyColor);
    if (!surface)
        return;
    cache.push_back(std::make_unique<kiv::MapImage>(kiv::MapImage{
        m_FileName.operator const char*(), std::move(surface), m_TransparencyColor, 1}));
    m_Image = cache.back().get();
}

void Map::FreeMap() {
    if (!m_Image)
        return;
    auto& cache = Cache();
    auto it =
        std::find_if(cache.begin(), cache.end(), [&](const auto& e) { return e.get() == m_Image; });
    m_Image = nullptr;
    if (it != cache.end() && --(*it)->references == 0)
        cache.erase(it);
}

// ---- collision ----

namespace {

// Sprites let go of the shapes of a cell about to be emptied.
void ForgetShapes(List& cell) {
    for (node* n = cell.Head(); !n->EOList(); n = n->Next())
        kiv::sweep::ForgetMapShape(n);
}

} // namespace

void Map::SpacePartitionGridSize(unsigned int n) {
    if (n < 64)
        n = 64;
    if (n % 2)
        ++n;
    if (n > 0x40000000u)
        n = 0x40000000u;
    m_GridSize = static_cast<int>(n);
    // No map is larger than an image: the size a damaged save gives one makes no larger grid.
    auto side = [](unsigned int v) {
        return std::min(v, static_cast<unsigned int>(kiv::MaxImageSide));
    };
    unsigned int width = side(m_Width), height = side(m_Height);
    m_GridColumns = n <= width ? static_cast<int>((width + n - 1) / n) : 1;
    m_GridRows = n <= height ? static_cast<int>((height + n - 1) / n) : 1;
    InitGrid();
}

void Map::InitGrid() {
    for (List& cell : m_Grid)
        ForgetShapes(cell);
    m_Grid.clear();
    m_Grid.resize(static_cast<size_t>(m_GridColumns) * static_cast<size_t>(m_GridRows));
}

List* Map::CellAt(int column, int row) {
    if (column < 0 || row < 0 || column >= m_GridColumns || row >= m_GridRows)
        return nullptr;
    return &m_Grid[static_cast<size_t>(row) * m_GridColumns + column];
}

List* Map::Cell(float x, float y) {
    if (x < 0 || y < 0)
        return nullptr;
    return CellAt(static_cast<int>(x / static_cast<float>(m_GridSize)),
                  static_cast<int>(y / static_cast<float>(m_GridSize)));
}

namespace {

// Adds a copy of the shape to every cell of the grid it touches. Only the cells under the
// shape's bounding box are tested.
void Sort(CollisionData& shape, float x1, float y1, float x2, float y2, int size, int columns,
          int rows, std::vector<List>& grid) {
    // Coordinates from a damaged save can be anything: cells are counted in floating point.
    auto first = [&](float v, int count) {
        float cell = std::floor(v / static_cast<float>(size)) - 1;
        if (!(cell > 0)) // negative, or not a number
            return 0;
        return cell >= static_cast<float>(count - 1) ? count - 1 : static_cast<int>(cell);
    };
    int c0 = first(std::min(x1, x2), columns), c1 = first(std::max(x1, x2), columns) + 2;
    int r0 = first(std::min(y1, y2), rows), r1 = first(std::max(y1, y2), rows) + 2;
    for (int r = r0; r <= std::min(r1, rows - 1); ++r)
        for (int c = c0; c <= std::min(c1, columns - 1); ++c) {
            float left = static_cast<float>(size) * c, top = static_cast<float>(size) * r;
            if (shape.TouchesRectangle(left, top, left + size, top + size))
                grid[static_cast<size_t>(r) * columns + c].add(
                    shape.Clone(), grid[static_cast<size_t>(r) * columns + c].Sentinel());
        }
}

} // namespace

void Map::AddCollisionData(CollisionSegment s) {
    if (s.MagnitudeX() == 0 && s.MagnitudeY() == 0)
        return;
    m_Shapes.add(new CollisionSegment(s), m_Shapes.Sentinel());
    Sort(s, s.OriginX(), s.OriginY(), s.EndX(), s.EndY(), m_GridSize, m_GridColumns, m_GridRows,
         m_Grid);
}

void Map::AddCollisionData(CollisionCircle c) {
    m_Shapes.add(new CollisionCircle(c), m_Shapes.Sentinel());
    Sort(c, c.OriginX() - c.Radius(), c.OriginY() - c.Radius(), c.OriginX() + c.Radius(),
         c.OriginY() + c.Radius(), m_GridSize, m_GridColumns, m_GridRows, m_Grid);
}

void Map::RemoveCollisionData(unsigned int id, unsigned int which) {
    auto remove = [&](List& list) {
        for (node* n = list.Head(); !n->EOList();) {
            node* next = n->Next();
            auto* shape = static_cast<CollisionData*>(n);
            bool kind = which == 0 || (which == 1 && shape->Type() == CollisionData::SegmentType) ||
                        (which == 2 && shape->Type() == CollisionData::CircleType);
            if (kind && static_cast<unsigned int>(shape->Id()) == id) {
                kiv::sweep::ForgetMapShape(n);
                list.del(n);
            }
            n = next;
        }
    };
    remove(m_Shapes);
    for (List& cell : m_Grid)
        remove(cell);
}

void Map::InitCollision() {
    for (List& cell : m_Grid) {
        ForgetShapes(cell);
        cell.del();
    }
    for (node* n = m_Shapes.Head(); !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (shape->Type() == CollisionData::SegmentType) {
            auto* s = static_cast<CollisionSegment*>(shape);
            Sort(*s, s->OriginX(), s->OriginY(), s->EndX(), s->EndY(), m_GridSize, m_GridColumns,
                 m_GridRows, m_Grid);
        } else {
            auto* c = static_cast<CollisionCircle*>(shape);
            Sort(*c, c->OriginX() - c->Radius(), c->OriginY() - c->Radius(),
                 c->OriginX() + c->Radius(), c->OriginY() + c->Radius(), m_GridSize, m_GridColumns,
                 m_GridRows, m_Grid);
        }
    }
}

// ---- alarms, lookup, local variables ----

void Map::Add(Alarm* alarm) {
    if (!alarm)
        return;
    alarm->Id(++m_AlarmCount);
    m_Alarms.add(alarm, m_Alarms.Sentinel());
}

void Map::Add(Alarm alarm) {
    Add(new Alarm(alarm));
}

Map* Map::Search(const char* name) {
    if (gNode && name)
        for (node* n = gNode->Maps().Head(); !n->EOList(); n = n->Next())
            if (std::strcmp(static_cast<Map*>(n)->Name(), name) == 0)
                return static_cast<Map*>(n);
    kiv::ReportUserError("Map * Map::Search(const char *)", 20, name ? name : "");
    return nullptr;
}

bool Map::Use(const char* name) {
    if (gNode && name)
        for (node* n = gNode->Maps().Head(); !n->EOList(); n = n->Next()) {
            auto* map = static_cast<Map*>(n);
            if (map->m_Unused && std::strcmp(map->Name(), name) == 0) {
                map->m_Unused = false;
                return true;
            }
        }
    kiv::ReportUserError("bool Map::Use(const char *)", 20, name ? name : "");
    return false;
}

Map* Map::CreateMap() {
    if (m_IsMasterMap || !gNode)
        return nullptr;
    auto* copy = new Map(*this);
    if (!gNode->Add(copy))
        return nullptr;
    return copy;
}

void Map::ClearVariableMapList() {
    if (!gNode)
        return;
    for (node* n = gNode->Maps().Head(); !n->EOList(); n = n->Next())
        static_cast<Map*>(n)->m_ShownVariables.clear();
}

void Map::AddLocalVariable(unsigned int index) {
    if (kiv::AddLocalVariable(localVariable, index))
        m_LocalVariableIndex = static_cast<int>(index);
    else
        kiv::ReportUserError("void Map::AddLocalVariable(unsigned int index)", 1, index);
}

// ---- record ----

void Map::Save(File& f) {
    m_Behavior.Save(f);
    f.Write(m_Id);
    m_Name.Save(f);
    m_FileName.Save(f);
    f.Write(m_IsMasterMap);
    f.Write(m_Height);
    f.Write(m_Width);
    f.Write(m_GridRows);
    f.Write(m_GridColumns);
    for (float v : {m_WorldX, m_WorldY, m_ViewX, m_ViewY})
        f.Write(v);
    f.Write(m_RangeX);
    f.Write(m_RangeY);
    f.Write(m_ZOrder);
    f.Write(m_Visible);
    for (float v : {m_ScrollRatioX, m_ScrollRatioY, m_SpeedX, m_SpeedY})
        f.Write(v);
    f.Write(static_cast<unsigned long>(m_TransparencyColor));
    for (const KivRect* r :
         {&m_ImageRect, &m_PlacedRect, &m_SourceRect, &m_DestinationRect, &m_DisplayRect})
        f.Write(*r);
    f.Write(m_ScreenFixed);
    f.Write(m_Pause);
    f.Write(static_cast<unsigned long>(m_BlitFlags));
    f.Write(static_cast<int>(m_Type));
    f.Write(m_Reserved);
    f.Write(m_AlarmCount);
    f.Write(m_AlarmMaximum);
    f.Write(m_ShowCollision);
    f.Write(m_GridSize);
    f.Write(m_Unused);
    m_Alarms.Save(f);
    m_Shapes.Save(f);
    f.Write(m_Wrap != nullptr);
    if (m_Wrap)
        m_Wrap->Save(f);
    f.Write(m_LocalVariableIndex);
    f.Write(localVariable);
}

void Map::Load(File& f) {
    Init();
    m_Behavior.Load(f);
    f.Read(m_Id);
    m_Name.Load(f);
    m_FileName.Load(f);
    f.Read(m_IsMasterMap);
    f.Read(m_Height);
    f.Read(m_Width);
    f.Read(m_GridRows);
    f.Read(m_GridColumns);
    for (float* v : {&m_WorldX, &m_WorldY, &m_ViewX, &m_ViewY})
        f.Read(*v);
    f.Read(m_RangeX);
    f.Read(m_RangeY);
    f.Read(m_ZOrder);
    f.Read(m_Visible);
    for (float* v : {&m_ScrollRatioX, &m_ScrollRatioY, &m_SpeedX, &m_SpeedY})
        f.Read(*v);
    unsigned long colour = 0, flags = 0;
    f.Read(colour);
    m_TransparencyColor = static_cast<COLORREF>(colour);
    for (KivRect* r :
         {&m_ImageRect, &m_PlacedRect, &m_SourceRect, &m_DestinationRect, &m_DisplayRect})
        f.Read(*r);
    f.Read(m_ScreenFixed);
    f.Read(m_Pause);
    f.Read(flags);
    m_BlitFlags = static_cast<unsigned int>(flags);
    kiv::ImageDirectory = kiv::MapsPath;
    LoadMap();
    int type = 0;
    f.Read(type);
    m_Type = type == Master ? Master : type == Wrapped ? Wrapped : Standard;
    f.Read(m_Reserved);
    f.Read(m_AlarmCount);
    f.Read(m_AlarmMaximum);
    f.Read(m_ShowCollision);
    int grid = DefaultGrid;
    f.Read(grid);
    SpacePartitionGridSize(static_cast<unsigned int>(grid < 0 ? 0 : grid));
    f.Read(m_Unused);
    m_Alarms.Load(f);
    kiv::KeepOnly<Alarm>(m_Alarms);
    m_Shapes.Load(f);
    kiv::KeepOnly<CollisionData>(m_Shapes);
    InitCollision();
    bool wrapped = false;
    f.Read(wrapped);
    if (wrapped) {
        m_Wrap = new kiv::WrapBlock{};
        m_Wrap->Load(f);
    }
    if (m_Type == Wrapped && !m_Wrap)
        m_Type = Standard;
    f.Read(m_LocalVariableIndex);
    delete localVariable;
    localVariable = f.ReadOwned<node>();
}
