#include "PageViewAccessible.h"

#include "PageAccessible.h"
#include "PageView.h"

#include <QTimer>

#include <algorithm>

namespace {

QAccessibleInterface *makeForPageView(const QString &className, QObject *object)
{
    if (className == QLatin1String("PageView"))
        if (auto *view = qobject_cast<PageView *>(object))
            return new PageViewAccessible(view);
    return nullptr;
}

PageViewAccessible *accessibleOf(PageView *view)
{
    if (!QAccessible::isActive())
        return nullptr;
    return dynamic_cast<PageViewAccessible *>(QAccessible::queryAccessibleInterface(view));
}

// Pages either side of those in view that are offered as well, so reading on
// past the last visible line finds the next page.
constexpr int kAroundView = 1;

} // namespace

PageViewAccessible::PageViewAccessible(PageView *view)
    : QAccessibleWidget(view, QAccessible::Client), m_document(view->document())
{
    m_connections.push_back(QObject::connect(view, &PageView::currentPageChanged, view,
                                             [this](int page) { pageChanged(page); }));
    m_connections.push_back(QObject::connect(view, &PageView::readingChanged, view,
                                             [this] { readingChanged(); }));
    m_offered = offeredPages();
}

PageViewAccessible::~PageViewAccessible()
{
    for (const QMetaObject::Connection &connection : m_connections)
        QObject::disconnect(connection);
}

void PageViewAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeForPageView);
        return true;
    }();
    Q_UNUSED(installed);
}

void PageViewAccessible::focusCurrentPage(PageView *view)
{
    if (!accessibleOf(view))
        return;
    // After Qt has told of the view's own focus, which would otherwise come last.
    QTimer::singleShot(0, view, [view] {
        PageViewAccessible *accessible = accessibleOf(view);
        if (!accessible || !view->hasFocus() || view->currentPage() < 0)
            return;
        QAccessibleEvent focus(accessible->page(view->currentPage()), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    });
}

PageView *PageViewAccessible::view() const
{
    return static_cast<PageView *>(widget());
}

QString PageViewAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && view()->accessibleName().isEmpty())
        return QStringLiteral("文档页面");
    return QAccessibleWidget::text(t);
}

QVector<int> PageViewAccessible::offeredPages() const
{
    const PageView *v = view();
    if (!v->document())
        return {};
    QVector<int> shown = v->layout().pagesIn(v->viewRect());
    if (shown.isEmpty())
        shown = {v->currentPage()};
    const int first = std::max(0, shown.first() - kAroundView);
    const int last = std::min(v->layout().pageCount() - 1, shown.last() + kAroundView);
    QVector<int> pages;
    for (int p = first; p <= last; ++p)
        pages.append(p);
    return pages;
}

int PageViewAccessible::childCount() const
{
    return int(offeredPages().size());
}

QAccessibleInterface *PageViewAccessible::child(int index) const
{
    const QVector<int> pages = offeredPages();
    return index >= 0 && index < pages.size() ? page(pages[index]) : nullptr;
}

int PageViewAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (const auto &[number, id] : m_pages)
        if (QAccessible::accessibleInterface(id) == child)
            return int(offeredPages().indexOf(number));
    return -1;
}

QAccessibleInterface *PageViewAccessible::childAt(int x, int y) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const PagePoint under = view()->widgetToPage(at);
    return under.page >= 0 ? page(under.page) : nullptr;
}

QAccessibleInterface *PageViewAccessible::focusChild() const
{
    const int current = view()->currentPage();
    return view()->hasFocus() && current >= 0 ? page(current) : nullptr;
}

PageAccessible *PageViewAccessible::page(int number) const
{
    const auto known = m_pages.find(number);
    if (known != m_pages.end())
        if (auto *iface = static_cast<PageAccessible *>(QAccessible::accessibleInterface(known->second)))
            return iface;
    auto *iface = new PageAccessible(view(), number);
    m_pages[number] = QAccessible::registerAccessibleInterface(iface);
    return iface;
}

void PageViewAccessible::reoffer()
{
    const bool sameDocument = m_document.lock() == view()->document();
    m_document = view()->document();
    const QVector<int> offered = offeredPages();
    for (auto it = m_pages.begin(); it != m_pages.end();) {
        if (sameDocument && offered.contains(it->first)) {
            ++it;
            continue;
        }
        QAccessible::deleteAccessibleInterface(it->second);
        it = m_pages.erase(it);
    }
    if (sameDocument && offered == m_offered)
        return;
    m_offered = offered;
    QAccessibleEvent reorder(view(), QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
}

// A page change is told as the new page taking the focus, which a screen
// reader announces; without the focus in the view, the status line tells it.
void PageViewAccessible::pageChanged(int current)
{
    reoffer();
    if (current >= 0 && view()->hasFocus()) {
        QAccessibleEvent focus(page(current), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void PageViewAccessible::readingChanged()
{
    reoffer();
    for (const auto &[number, id] : m_pages)
        if (auto *iface = static_cast<PageAccessible *>(QAccessible::accessibleInterface(id)))
            iface->refresh();
}
