#include "ViewInput.h"

#include <algorithm>

namespace {
constexpr int kPageOverlap = 40; // what a page step keeps in view
constexpr int kNotch = 120;      // wheel angle units of one notch
} // namespace

std::optional<KeyScroll> keyScroll(int key, Qt::KeyboardModifiers modifiers, int viewportHeight)
{
    const int page = std::max(kLineStep, viewportHeight - kPageOverlap);
    switch (key) {
    case Qt::Key_PageDown:
        return KeyScroll{KeyScroll::Down, page};
    case Qt::Key_PageUp:
        return KeyScroll{KeyScroll::Down, -page};
    case Qt::Key_Space:
        return KeyScroll{KeyScroll::Down, modifiers & Qt::ShiftModifier ? -page : page};
    case Qt::Key_Down:
        return KeyScroll{KeyScroll::Down, kLineStep};
    case Qt::Key_Up:
        return KeyScroll{KeyScroll::Down, -kLineStep};
    case Qt::Key_Right:
        return KeyScroll{KeyScroll::Right, kLineStep};
    case Qt::Key_Left:
        return KeyScroll{KeyScroll::Right, -kLineStep};
    case Qt::Key_Home:
        return KeyScroll{KeyScroll::FirstPage};
    case Qt::Key_End:
        return KeyScroll{KeyScroll::LastPage};
    default:
        return std::nullopt;
    }
}

int wheelPixels(int angle)
{
    return angle * kLineStep * 3 / kNotch;
}

int WheelNotches::add(int angle)
{
    m_angle += angle;
    const int notches = m_angle / kNotch; // rounds towards zero: the rest waits
    m_angle -= notches * kNotch;
    return notches;
}

void HandDrag::press(const QPoint &at, const QPoint &scroll)
{
    m_from = at;
    m_scroll = scroll;
    m_active = true;
    m_moved = false;
}

QPoint HandDrag::move(const QPoint &at, int dragDistance)
{
    const QPoint moved = at - m_from;
    if (moved.manhattanLength() >= dragDistance)
        m_moved = true;
    return m_scroll - moved;
}

bool HandDrag::release()
{
    const bool click = m_active && !m_moved;
    m_active = false;
    return click;
}
