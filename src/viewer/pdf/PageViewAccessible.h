#pragma once
// The page view as assistive technologies (screen readers) see it: one
// accessible page for each page in view and the page either side of them,
// each reading its text as copying gives it. Made by Qt only once an
// assistive technology asks, so without one nothing here runs.

#include <QAccessibleWidget>
#include <QVector>

#include <map>
#include <memory>
#include <vector>

class PageAccessible;
class PageView;
class PdfDocument;

class PageViewAccessible : public QAccessibleWidget {
public:
    explicit PageViewAccessible(PageView *view);
    ~PageViewAccessible() override;

    // Lets Qt make this interface for every page view; once per process.
    static void install();
    // The view took the keyboard focus: the current page has it, as far as an
    // assistive technology listens.
    static void focusCurrentPage(PageView *view);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    PageView *view() const;
    // The pages offered as children: those in view and one either side, in order.
    QVector<int> offeredPages() const;
    // The page's interface, made and registered on first ask.
    PageAccessible *page(int page) const;
    void pageChanged(int page);
    void readingChanged();
    // Forgets the interfaces of pages no longer offered (all of them after
    // another document) and tells listeners the children changed.
    void reoffer();

    mutable std::map<int, unsigned> m_pages; // page -> registered interface id
    std::weak_ptr<PdfDocument> m_document;   // the one the pages belong to
    QVector<int> m_offered;                  // as last told
    std::vector<QMetaObject::Connection> m_connections;
};
