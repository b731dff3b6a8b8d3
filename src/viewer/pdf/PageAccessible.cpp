#include "PageAccessible.h"

#include "PageReading.h"
#include "PageView.h"
#include "viewer/pdf/text/TextSelection.h"

#include <QWindow>

#include <algorithm>

PageAccessible::PageAccessible(PageView *view, int page)
    : m_view(view), m_document(view->document()), m_page(page)
{
}

bool PageAccessible::isValid() const
{
    return m_view && m_view->document() && m_document.lock() == m_view->document()
           && m_page < m_view->layout().pageCount();
}

QWindow *PageAccessible::window() const
{
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface *PageAccessible::parent() const
{
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QString PageAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return QString();
    if (t == QAccessible::Name)
        return QStringLiteral("第 %1 页").arg(m_page + 1);
    if (t == QAccessible::Description && !readout().source)
        return QStringLiteral("正在读取本页的文字……");
    return QString();
}

QRect PageAccessible::onScreen(const QRectF &pageArea) const
{
    const QRectF inView(m_view->pageToWidget(m_page, pageArea.topLeft()),
                        m_view->pageToWidget(m_page, pageArea.bottomRight()));
    const QRect rect = inView.normalized().toAlignedRect();
    return QRect(m_view->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

QRect PageAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QSizeF size = m_view->layout().pageSize(m_page);
    return onScreen(QRectF(QPointF(0, 0), size));
}

QAccessible::State PageAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.focusable = true;
    s.focused = m_view->hasFocus() && m_view->currentPage() == m_page;
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    const QRectF shown = m_view->layout().pageRect(m_page).intersected(m_view->viewRect());
    s.offscreen = shown.isEmpty();
    return s;
}

void *PageAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface *>(this)
                                              : nullptr;
}

const PageAccessible::Readout &PageAccessible::readout() const
{
    m_read = true;
    const PageReading *reading = isValid() ? m_view->reading() : nullptr;
    std::shared_ptr<const PageText> source = reading ? reading->pageText(m_page) : nullptr;
    if (source != m_readout.source) {
        m_readout.text = source ? source->textOf({0, source->charCount()},
                                                 PageText::LineJoin::Newline, &m_readout.starts)
                                : QString();
        if (!source)
            m_readout.starts.clear();
        m_readout.source = std::move(source);
    }
    return m_readout;
}

void PageAccessible::refresh()
{
    if (!m_read || !isValid())
        return;
    const bool wasKnown = m_readout.source != nullptr;
    const QString before = m_readout.text;
    const Readout &now = readout();
    if (now.text != before) {
        QAccessibleTextUpdateEvent update(this, 0, before, now.text);
        QAccessible::updateAccessibility(&update);
    }
    if (wasKnown != (now.source != nullptr)) {
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
    const std::pair<int, int> selected = selectedOffsets();
    if (selected != m_toldSelection) {
        m_toldSelection = selected;
        QAccessibleTextSelectionEvent event(this, selected.first, selected.second);
        QAccessible::updateAccessibility(&event);
    }
}

std::pair<int, int> PageAccessible::selectedOffsets() const
{
    const Readout &r = readout();
    const PageReading *reading = isValid() ? m_view->reading() : nullptr;
    if (!reading || !r.source)
        return {0, 0};
    const TextRange range = reading->selectionOn(m_page);
    const int last = int(r.starts.size()) - 1;
    if (range.isEmpty() || last < 0)
        return {0, 0};
    return {r.starts[size_t(std::clamp(range.begin, 0, last))],
            r.starts[size_t(std::clamp(range.end, 0, last))]};
}

void PageAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const std::pair<int, int> selected = selectedOffsets();
    const bool has = selectionIndex == 0 && selected.first < selected.second;
    *startOffset = has ? selected.first : 0;
    *endOffset = has ? selected.second : 0;
}

int PageAccessible::selectionCount() const
{
    const std::pair<int, int> selected = selectedOffsets();
    return selected.first < selected.second ? 1 : 0;
}

int PageAccessible::cursorPosition() const
{
    return selectedOffsets().second;
}

QString PageAccessible::text(int startOffset, int endOffset) const
{
    const QString &all = readout().text;
    startOffset = std::clamp(startOffset, 0, int(all.size()));
    endOffset = endOffset < 0 ? int(all.size()) : std::clamp(endOffset, startOffset, int(all.size()));
    return all.mid(startOffset, endOffset - startOffset);
}

int PageAccessible::characterCount() const
{
    return int(readout().text.size());
}

int PageAccessible::charAt(int offset) const
{
    const std::vector<int> &starts = readout().starts;
    if (starts.size() < 2)
        return -1;
    // The last character beginning at or before the offset; blanks left out
    // share their offset with the character after them.
    const auto after = std::upper_bound(starts.begin(), starts.end() - 1, offset);
    return after == starts.begin() ? -1 : int(after - starts.begin()) - 1;
}

QRect PageAccessible::characterRect(int offset) const
{
    const int index = charAt(offset);
    if (index < 0 || !isValid())
        return QRect();
    return onScreen(readout().source->boxes[size_t(index)].rect());
}

int PageAccessible::offsetAtPoint(const QPoint &point) const
{
    const Readout &r = readout();
    if (!r.source || !isValid())
        return -1;
    const PagePoint at = m_view->widgetToPage(m_view->viewport()->mapFromGlobal(point));
    if (at.page != m_page)
        return -1;
    return r.starts[size_t(TextSelection::caretAt(*r.source, at.point))];
}

void PageAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    const Readout &r = readout();
    const int from = charAt(startIndex);
    const int to = std::max(from + 1, charAt(std::max(startIndex, endIndex - 1)) + 1);
    if (from < 0 || !isValid())
        return;
    QRectF area;
    for (const QRectF &piece : r.source->rectsFor({from, to}))
        area = area.united(piece);
    m_view->scrollToPageRect(m_page, area);
}

QString PageAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}
