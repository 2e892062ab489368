#pragma once

#include <kiv/base/Handle.h>
#include <kiv/base/List.h>
#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>
#include <kiv/logic/Behavior.h>

#include <vector>

class Alarm;
class CollisionCircle;
class CollisionSegment;
class Variable;

namespace kiv {
class Surface;
struct MapImage;
struct WrapBlock;
} // namespace kiv

// A bitmap layer of a level: the master map (the world), standard maps (placed, moving on
// their own or against the viewport for parallax) or wrapped maps (tiled without end). A map
// also holds the level's scenery collision shapes, sorted into a grid of square cells.
class KIV_API Map : public node {
public:
    enum MapType { Master = 0, Standard = 1, Wrapped = 2 };

    Map();
    Map(const Map& other);
    Map(const char* name, const char* file, MapType type, int zOrder, int x, int y,
        bool screenFixed, KivRect rect);
    Map& operator=(const Map&) = delete;
    ~Map() override;

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    static node* CreateObject();

    void Init();
    void InitMasterMap(const char* name, const char* file, int zOrder);
    void InitStandardMap(const char* name, const char* file, int zOrder, int x, int y,
                         bool screenFixed, KivRect displayRect);
    void InitWrappedMap(const char* name, const char* file, int zOrder, int x, int y,
                        bool screenFixed, KivRect displayRect);

    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    void Name(const char* name) { m_Name = name; }
    const char* Name() const { return m_Name; }
    const char* FileName() const { return m_FileName; }
    void Visible(bool on) { m_Visible = on; }
    bool Visible() const { return m_Visible; }
    void ScrollRatioX(float r) { m_ScrollRatioX = r; }
    float ScrollRatioX() const { return m_ScrollRatioX; }
    void ScrollRatioY(float r) { m_ScrollRatioY = r; }
    float ScrollRatioY() const { return m_ScrollRatioY; }
    void SpeedX(float s) { m_SpeedX = s; }
    float SpeedX() const { return m_SpeedX; }
    void SpeedY(float s) { m_SpeedY = s; }
    float SpeedY() const { return m_SpeedY; }
    // The colour key of the image; a loaded image is loaded again with the new key.
    void TransparencyColor(COLORREF c);
    COLORREF TransparencyColor() const { return m_TransparencyColor; }
    void UseTransparency(bool on);
    bool UseTransparency() const;
    void Pause(bool on) { m_Pause = on; }
    bool Pause() const { return m_Pause; }
    void Unused(bool on) { m_Unused = on; }
    bool Unused() const { return m_Unused; }
    void AlarmMaximum(int n) { m_AlarmMaximum = n < 1 ? 0 : n; }
    int AlarmMaximum() const { return m_AlarmMaximum; }
    unsigned int Width() const { return m_Width; }
    unsigned int Height() const { return m_Height; }
    bool IsMasterMap() const { return m_IsMasterMap; }
    int ZOrder() const { return m_ZOrder; }
    MapType Type() const { return m_Type; }
    int AlarmCount() const { return m_AlarmCount; }
    int SpacePartitionGridSize() const { return m_GridSize; }

    unsigned int ViewPortX();
    unsigned int ViewPortY();
    float WorldPositionX();
    float WorldPositionY();
    void WorldPositionX(float x);
    void WorldPositionY(float y);
    void WorldPositionXInc(float delta, float max);
    void WorldPositionXDec(float delta, float min);
    void WorldPositionYInc(float delta, float max);
    void WorldPositionYDec(float delta, float min);

    // Draws the map (and its shapes when they are shown) into the back buffer.
    void DisplayMap();
    void DisplayMasterMap();
    void DisplayStandardMap();
    void DisplayWrappedMap();
    void DummyDisplay() {}
    void UpdateStandardMap();
    void UpdateWrappedMap();
    void ShowMapCollision(COLORREF colour);
    void ShowMapCollision(bool on) { m_ShowCollision = on; }
    bool ShowMapCollision() const { return m_ShowCollision; }

    // The image through the cache shared by maps with the same file and colour key.
    void LoadMap();
    void FreeMap();

    void AddCollisionData(CollisionSegment segment);
    void AddCollisionData(CollisionCircle circle);
    // which: 0 both kinds, 1 segments, 2 circles.
    void RemoveCollisionData(unsigned int id, unsigned int which);
    void SpacePartitionGridSize(unsigned int n);
    void InitGrid();
    void InitCollision();
    List& Shapes() { return m_Shapes; }
    // The shapes sorted into the grid cell that holds (x, y) in map coordinates; null outside.
    List* Cell(float x, float y);
    int GridColumns() const { return m_GridColumns; }
    int GridRows() const { return m_GridRows; }
    List* CellAt(int column, int row);

    void Add(Alarm* alarm);
    void Add(Alarm alarm);
    List& Alarms() { return m_Alarms; }

    static Map* Search(const char* name);
    static bool Use(const char* name);
    Map* CreateMap();
    static void ClearVariableMapList();
    void AddLocalVariable(unsigned int index);
    Behavior& GetBehavior() { return m_Behavior; }
    std::vector<Variable*>& ShownVariables() { return m_ShownVariables; }
    const kiv::Surface* Image() const;

private:
    void Place(const char* name, const char* file, int zOrder);
    kiv::Surface* Surface() const;
    void Blit(const KivRect& to, const KivRect& from);
    void Rebuild();

    kiv::MapImage* m_Image;
    kiv::WrapBlock* m_Wrap;
    int m_Id;
    String m_Name;
    String m_FileName;
    bool m_IsMasterMap;
    unsigned int m_Height;
    unsigned int m_Width;
    int m_GridRows;
    int m_GridColumns;
    float m_WorldX, m_WorldY;
    float m_ViewX, m_ViewY;
    int m_RangeX, m_RangeY;
    int m_ZOrder;
    bool m_Visible;
    float m_ScrollRatioX, m_ScrollRatioY;
    float m_SpeedX, m_SpeedY;
    COLORREF m_TransparencyColor;
    KivRect m_ImageRect, m_PlacedRect, m_SourceRect, m_DestinationRect, m_DisplayRect;
    bool m_ScreenFixed;
    bool m_Pause;
    unsigned int m_BlitFlags;
    MapType m_Type;
    int m_LocalVariableIndex;
    bool m_Reserved;
    int m_AlarmCount;
    int m_AlarmMaximum;
    bool m_ShowCollision;
    int m_GridSize;
    bool m_Unused;
    List m_Alarms;
    List m_Shapes;
    std::vector<List> m_Grid;
    std::vector<Variable*> m_ShownVariables;
    Behavior m_Behavior;
};

// A map that is never null: an unknown name gives an empty, invisible fallback map.
class KIV_API MapPTR : public kiv::Handle<Map, MapPTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static Map* Fallback();
    static Map dummyMapPtr;
};
