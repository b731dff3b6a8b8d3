#pragma once
// Turns reading keys, wheel turns and hand-tool drags into view actions, with
// no widget in it. Distances are logical pixels.

#include <QPoint>
#include <Qt>

#include <optional>

constexpr int kLineStep = 40; // one arrow key press or scroll bar step

// What a key asks of the view.
struct KeyScroll {
    enum Kind { Down, Right, FirstPage, LastPage } kind;
    int pixels = 0; // Down and Right; negative goes up or left
};

// None for keys the view leaves to others.
std::optional<KeyScroll> keyScroll(int key, Qt::KeyboardModifiers modifiers, int viewportHeight);

// A plain wheel turn as a scroll: 120 units are one notch, three lines.
int wheelPixels(int angle);

// Ctrl+wheel turns counted in whole notches; part of a notch waits for the rest.
class WheelNotches {
public:
    // The notches completed, positive turned away from the user.
    int add(int angle);

private:
    int m_angle = 0;
};

// The hand tool: a press moved less than the drag distance is a click.
class HandDrag {
public:
    void press(const QPoint &at, const QPoint &scroll);
    bool active() const { return m_active; }
    // The scroll position that keeps the grabbed spot under the pointer.
    QPoint move(const QPoint &at, int dragDistance);
    // Ends the drag; true when it was a click.
    bool release();
    void cancel() { m_active = false; }

private:
    QPoint m_from;   // where the press was
    QPoint m_scroll; // the scroll position then
    bool m_active = false;
    bool m_moved = false;
};
