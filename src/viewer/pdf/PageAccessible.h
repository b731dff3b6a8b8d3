#pragma once
// One page of the page view for assistive technologies: a document whose text
// is the page's text in reading order, as copying all of it gives it, taken
// from the text index when asked. A page the index has not reached yet has no
// text and says so; it tells its listeners once the text is there.

#include <QAccessible>
#include <QPointer>

#include <memory>
#include <vector>

class PageView;
class PdfDocument;
struct PageText;

class PageAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    PageAccessible(PageView *view, int page);

    int pageIndex() const { return m_page; }
    // The text or the selection may have changed: tells listeners what did,
    // when the page was read before.
    void refresh();

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Document; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // The selection is the text tool's; assistive technologies read it only.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    struct Readout {
        std::shared_ptr<const PageText> source; // null: not indexed yet
        QString text;
        std::vector<int> starts; // per character of the page, and its end: offset in text
    };
    // The page's text, brought up to date with the index.
    const Readout &readout() const;
    // The selection on the page as offsets into its text; empty when none.
    std::pair<int, int> selectedOffsets() const;
    // The character (index into the page's text) that begins at the offset.
    int charAt(int offset) const;
    QRect onScreen(const QRectF &pageArea) const;

    QPointer<PageView> m_view;
    std::weak_ptr<PdfDocument> m_document;
    int m_page;
    mutable Readout m_readout;
    mutable bool m_read = false; // an assistive technology asked for the text
    std::pair<int, int> m_toldSelection{0, 0};
};
