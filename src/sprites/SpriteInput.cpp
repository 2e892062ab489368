// The keyboard and mouse of a network player, kept on its sprite: filled from the messages
// the network queues for the sprite, and asked by logic like the game's own devices.

#include <kiv/input/Mouse.h>
#include <kiv/sprites/Sprite.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <mutex>

namespace {

// Kinds of queued items.
constexpr unsigned char KeyboardItem = 9;
constexpr unsigned char MouseItem = 10;

// Kinds of mouse records within a mouse item.
constexpr unsigned char MoveX = 1, MoveY = 2, Wheel = 3;
constexpr unsigned char Buttons[3] = {8, 16, 32};

// The one lock of every sprite's queue: the network fills queues from its own threads.
std::mutex& QueueLock() {
    static std::mutex lock;
    return lock;
}

std::int32_t Int32At(const unsigned char* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 |
                                     static_cast<std::uint32_t>(p[3]) << 24);
}

// Keys: 16-bit entries, the key code in the low byte, 256 or more meaning pressed.
void ApplyKeys(kiv::KeyEntry (&keys)[256], const std::vector<unsigned char>& data) {
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        unsigned int entry = data[i] | static_cast<unsigned int>(data[i + 1]) << 8;
        keys[entry & 0xFF].pressed = entry >= 256;
    }
}

// One axis of a motion record: the step moves the position, kept within the game mouse's
// range on that axis (low to high, high excluded), and the record gives the world position.
void MoveAxis(std::int32_t& rel, std::int32_t& position, std::int32_t& world, bool& moved,
              const unsigned char* record, std::int32_t low, std::int32_t high) {
    rel = static_cast<signed char>(record[1]);
    position += rel;
    if (pMouse) {
        if (position >= high)
            position = high - 1;
        else if (position < low)
            position = low;
    }
    world = Int32At(record + 4);
    moved = true;
}

void ApplyMouse(kiv::PlayerMouse& m, const std::vector<unsigned char>& data) {
    KivRect range = pMouse ? pMouse->MotionRect() : KivRect{0, 0, 0, 0};
    for (size_t i = 0; i + 8 <= data.size(); i += 8) {
        const unsigned char* record = &data[i];
        switch (record[0]) {
        case MoveX:
            MoveAxis(m.relX, m.viewportX, m.worldX, m.movedX, record, range.left, range.right);
            break;
        case MoveY:
            MoveAxis(m.relY, m.viewportY, m.worldY, m.movedY, record, range.top, range.bottom);
            break;
        case Wheel:
            m.wheel = static_cast<signed char>(record[1]);
            m.wheelMoved = true;
            break;
        default:
            for (int b = 0; b < 3; ++b)
                if (record[0] == Buttons[b])
                    m.buttons[b].pressed = record[1] != 0;
            break;
        }
    }
}

// A click of button b at this frame completes a double click when the one before lies within
// the game mouse's double-click window (5 to 25 frames without a mouse); otherwise it waits
// for its second.
void DoubleClicks(kiv::PlayerMouse& m) {
    for (int b = 0; b < 3; ++b) {
        if (!m.buttons[b].triggered)
            continue;
        if (m.lastTrigger[b] != 0) {
            auto gap = static_cast<std::uint32_t>(m.frameCounter - m.lastTrigger[b]);
            m.doubleClicked[b] = pMouse ? pMouse->InDoubleClickWindow(gap) : gap >= 5 && gap <= 25;
            m.lastTrigger[b] = 0;
        } else {
            m.lastTrigger[b] = m.frameCounter;
        }
    }
}

} // namespace

void Sprite::AddToQ(unsigned char kind, unsigned char* data, unsigned int length) {
    std::lock_guard<std::mutex> guard(QueueLock());
    if (m_QueueCount == m_Queue.size())
        m_Queue.emplace_back();
    kiv::QueuedInput& item = m_Queue[m_QueueCount++];
    item.kind = kind;
    item.data.assign(data, data ? data + length : data);
}

void Sprite::ClearQ() {
    std::lock_guard<std::mutex> guard(QueueLock());
    m_QueueCount = 0;
}

const kiv::PlayerInput& Sprite::Input() const {
    static const kiv::PlayerInput idle{};
    return m_NetworkInput ? *m_NetworkInput : idle;
}

void Sprite::HandleQ() {
    if (!m_NetworkInput)
        m_NetworkInput = std::make_unique<kiv::PlayerInput>();
    kiv::KeyEntry(&keys)[256] = m_NetworkInput->keys;
    kiv::PlayerMouse& m = m_NetworkInput->mouse;
    {
        std::lock_guard<std::mutex> guard(QueueLock());
        ++m.frameCounter;
        m.doubleClicked[0] = m.doubleClicked[1] = m.doubleClicked[2] = false;
        m.movedX = m.movedY = m.wheelMoved = false;
        for (std::size_t i = 0; i < m_QueueCount; ++i) {
            const kiv::QueuedInput& item = m_Queue[i];
            if (item.kind == KeyboardItem)
                ApplyKeys(keys, item.data);
            else if (item.kind == MouseItem)
                ApplyMouse(m, item.data);
        }
        m_QueueCount = 0;
    }
    for (kiv::KeyEntry& key : keys)
        key.NextFrame();
    for (kiv::KeyEntry& button : m.buttons)
        button.NextFrame();
    DoubleClicks(m);
}

void Sprite::Keyboard_Reset() {
    if (m_NetworkInput)
        std::fill(std::begin(m_NetworkInput->keys), std::end(m_NetworkInput->keys),
                  kiv::KeyEntry{});
}

void Sprite::Mouse_Reset() {
    if (m_NetworkInput)
        m_NetworkInput->mouse = kiv::PlayerMouse{};
}

unsigned int Sprite::Keyboard_TapCounter(unsigned char k) {
    return m_NetworkInput ? m_NetworkInput->keys[k].TapCount() : 0;
}

bool Sprite::Keyboard_Any() const {
    for (const kiv::KeyEntry& key : Input().keys)
        if (key.pressed)
            return true;
    return false;
}

bool Sprite::Keyboard_GetKey(unsigned char& k) const {
    for (int i = 0; i < 256; ++i)
        if (Input().keys[i].triggered) {
            k = static_cast<unsigned char>(i);
            return true;
        }
    return false;
}

bool Sprite::Mouse_IsPressed(unsigned char b) const {
    return b < 3 && Input().mouse.buttons[b].pressed;
}

bool Sprite::Mouse_IsTriggered(unsigned char b) const {
    return b < 3 && Input().mouse.buttons[b].triggered;
}

unsigned int Sprite::Mouse_TapCounter(unsigned char b) {
    return b < 3 && m_NetworkInput ? m_NetworkInput->mouse.buttons[b].TapCount() : 0;
}

unsigned int Sprite::Mouse_HoldCounter(unsigned char b) const {
    return b < 3 ? Input().mouse.buttons[b].framesHeld : 0;
}

bool Sprite::Mouse_IsDoubleClicked(unsigned char b) const {
    return b < 3 && Input().mouse.doubleClicked[b];
}

int Sprite::Mouse_Wheel() const {
    if (!Input().mouse.wheelMoved)
        return 0;
    return Input().mouse.wheel < 1 ? -1 : 1;
}

bool Sprite::Mouse_Any() const {
    for (const kiv::KeyEntry& button : Input().mouse.buttons)
        if (button.pressed)
            return true;
    return false;
}

bool Sprite::Mouse_GetKey(unsigned char& b) const {
    for (int i = 0; i < 3; ++i)
        if (Input().mouse.buttons[i].triggered) {
            b = static_cast<unsigned char>(i);
            return true;
        }
    return false;
}

bool Sprite::Mouse_InRect(KivRect* r) const {
    const kiv::PlayerMouse& m = Input().mouse;
    return r && m.viewportX >= r->left && m.viewportX < r->right && m.viewportY >= r->top &&
           m.viewportY < r->bottom;
}
