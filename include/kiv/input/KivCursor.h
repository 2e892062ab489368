#pragma once

#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>
#include <kiv/logic/Behavior.h>

class Sprite;

// The game's visible mouse cursor: a sprite of the level that follows the mouse and is drawn
// after everything else. Its actor is the built-in arrow (actor 1000) unless the game picks
// another. Logic asks it whether a button went down over a sprite or a map's collision area.
class KIV_API KivCursor : public node {
public:
    // The actor table entry of the built-in arrow, and the number that also selects it.
    enum { DefaultActorIndex = 1000, DefaultActorAlias = 2000 };

    // Named "KIV_CURSOR", at the centre of the screen, without a sprite.
    KivCursor();
    ~KivCursor() override;
    KivCursor(const KivCursor&) = delete;
    KivCursor& operator=(const KivCursor&) = delete;

    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    static node* CreateObject();
    // Load, taking the cursor sprite of the running level when it has one; otherwise a new
    // sprite is made only when `makeSprite` is set.
    void LoadRecord(File& file, bool makeSprite);

    // Makes actor 1000: one frame of the image "TEXTSCURSOR", 10 x 19 pixels, white
    // transparent, with its hot point at (5, 9), its box (0, 0, 8, 8) and a collision circle
    // of radius 3 at (4, 4).
    void DefaultActor();
    const char* Name() { return m_Name; }
    Behavior& GetBehavior() { return m_Behavior; }
    Sprite* CursorSprite() const { return m_Sprite; }

    // Adds the cursor's sprite to the current level, at the cursor's position and hidden
    // until the game shows its cursor (Game::ShowCursor); actor 2000 means actor 1000, which
    // is made when the level has not made it. This cursor becomes pKivCursor.
    void AddSpriteCursor(unsigned int actorIndex, unsigned int animation, unsigned int frame,
                         bool collisionType);
    // The same without choosing the animation and frame, for a level record whose actors
    // are read after it.
    void AddSpriteCursor(unsigned int actorIndex, bool collisionType);

    // Forwarded to the sprite; without one, nothing happens and the answers are 0 or false.
    void Animation(unsigned int a);
    unsigned int Animation();
    void Frame(unsigned int f);
    unsigned int Frame();
    void Delay(unsigned int d);
    unsigned int Delay();
    // Whether the sprite touched a sprite of that name this frame (any sprite for null).
    bool CollisionWithSprite(const char* name);
    bool CollisionWithMap();
    // Whether the sprite touched a map shape with that collision ID this frame.
    bool CollisionWithMap(int id);
    void ShowCollisionData(bool on);
    void ShowBoundingBox(bool on);

    // The cursor's position on the screen (at most the viewport's size less one); the sprite
    // follows (with a one-shot move when `move` is set) and the mouse is placed there.
    void ViewportPositionX(unsigned int x, bool move);
    void ViewportPositionY(unsigned int y, bool move);
    void ViewportPosition(unsigned int x, unsigned int y, bool move);
    unsigned int ViewportPositionX() const { return m_ViewportX; }
    unsigned int ViewportPositionY() const { return m_ViewportY; }

    // Button b went down (is down) this frame while the cursor touches that sprite or a map
    // shape with that collision ID.
    bool IsTriggeredOnSprite(const char* name, unsigned char b);
    bool IsPressedOnSprite(const char* name, unsigned char b);
    bool IsTriggeredOnMap(int id, unsigned char b);
    bool IsPressedOnMap(int id, unsigned char b);
    // Whether the mouse lies inside r.
    bool InRect(KivRect r);

    // Run by the frame loop before the cursor sprite's own logic: the sprite moves to the
    // mouse.
    void __InternalCursorFct();
    // A clone of the game's local-variable prototype NArray[index] (user error 1 otherwise).
    void AddLocalVariable(unsigned int index);
    int LocalVariableIndex() const { return m_LocalVariableIndex; }

    // The level that owned the sprite has destroyed it.
    void ForgetSprite() { m_Sprite = nullptr; }

private:
    void PlaceX(unsigned int x, bool move);
    void PlaceY(unsigned int y, bool move);
    void Follow();
    void LocateMouse();

    String m_Name;
    Sprite* m_Sprite;
    unsigned int m_ViewportX;
    unsigned int m_ViewportY;
    bool m_CollisionType;
    unsigned int m_ActorIndex;
    int m_LocalVariableIndex;
    Behavior m_Behavior;
};

// The current cursor, or null.
extern KIV_API KivCursor* pKivCursor;

// A new cursor object, for the game's data and logic.
KIV_API KivCursor* NewKivCursor();
