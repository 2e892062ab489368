#pragma once

#include <kiv/base/Types.h>
#include <kiv/base/node.h>

// Bars, rectangles or circles of one colour that close over the picture or open it up, one
// step per frame, on top of the finished frame. A closing effect then stays closed for its
// hold frames.
class KIV_API OpenClose : public node {
public:
    // Values of the kind field: the operation that started the effect.
    enum {
        NoEffect = -1,
        LeftRightCloseKind = 0,
        LeftRightOpenKind = 1,
        TopBottomCloseKind = 2,
        TopBottomOpenKind = 3,
        RectCloseKind = 4,
        RectOpenKind = 5,
        CircleCloseKind = 6,
        CircleOpenKind = 7,
    };

    OpenClose();
    ~OpenClose() override;

    static node* CreateObject();
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    void LeftRightClose(COLORREF colour, int frames, int hold);
    void LeftRightOpen(COLORREF colour, int frames);
    void TopBottomClose(COLORREF colour, int frames, int hold);
    void TopBottomOpen(COLORREF colour, int frames);
    void RectClose(COLORREF colour, int frames, int hold);
    void RectOpen(COLORREF colour, int frames);
    void CircleClose(COLORREF colour, int frames, int hold);
    void CircleOpen(COLORREF colour, int frames);
    // One step, drawn into the back buffer; the frame loop calls it once per frame.
    void Update();
    bool IsRunning() const { return m_Running; }
    void Stop();

private:
    // Starts the effect of that kind unless one runs (then a user error names `function`).
    void Start(int kind, const char* function, COLORREF colour, int frames, int hold);
    // The picture as covered after `f` steps.
    void Draw(int f);

    COLORREF m_Colour;
    int m_Kind;
    int m_Frame;
    int m_Duration;
    bool m_Running;
    float m_Step;
    float m_StepX;
    float m_StepY;
    float m_Radius;
    int m_Hold;
};

extern KIV_API OpenClose* Effect_OpenClose;
