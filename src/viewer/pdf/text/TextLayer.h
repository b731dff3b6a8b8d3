#pragma once
// The viewer's text layer: the background text index, find / find next / search-all
// with their highlights and results list, and the text-select tool's selection.
// Owned by MuPdfViewer, which forwards the text operations here and tells it when
// documents open and close. Pages are numbered from 0, as in the page view.

#include "viewer/pdf/PageReading.h"
#include "viewer/pdf/text/TextIndex.h"
#include "viewer/pdf/text/TextSearch.h"
#include "viewer/pdf/text/TextSelection.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QVector>

#include <optional>

class ModalUi;
class PageView;
class SearchResultsPane;
struct PagePoint;

// It also answers what assistive technologies read off the view's pages.
class TextLayer : public QObject, public PageReading {
    Q_OBJECT
public:
    TextLayer(PageView &view, ModalUi &ui, QObject *parent = nullptr);
    ~TextLayer() override;

    // The list of search-all hits, hidden until a search-all; the viewer places it.
    SearchResultsPane *resultsPane() const { return m_results.data(); }

    // A document was opened from this version of its file with these
    // passwords: index it in the background once its first page is on screen,
    // or as soon as its text is wanted.
    void documentOpened(std::shared_ptr<const FileVersion> version, const QString &userPassword,
                        const QString &ownerPassword);
    // Forgets the document's text, the selection, the search and its highlights.
    void documentClosed();

    int FindText(const QString &text);   // 0 = not found in a text searched whole
    void FindNext();
    void findPrevious();
    int SearchAll(const QString &text);  // number of hits
    QString SelectedText() const { return m_selection.text(); }

    // The page's (0-based) full text, characters with their boxes, when it is at
    // hand; null until the index has extracted it again, which this asks for.
    std::shared_ptr<const PageText> pageText(int page) const override;
    TextRange selectionOn(int page) const override;

signals:
    // The view is about to move to a hit: a jump the viewer's history keeps.
    void jumping();

private:
    using RectsByPage = QHash<int, QVector<QRectF>>;
    struct IndexRequest {
        std::shared_ptr<const FileVersion> version;
        QString userPassword, ownerPassword;
    };

    void startIndex();
    void fetchAround(int page);
    // What FindText and SearchAll answer when they found nothing.
    static int missAnswer(const SearchOutcome &outcome);

    void markFindHits();

    void forgetLastSearch();
    void showHit(const SearchHit &hit);
    void placeShownHit();
    void pageTextArrived(int page);
    QVector<QRectF> rectsOf(int page, TextRange range) const;
    void pressed(const PagePoint &at);
    void moved(const PagePoint &at);
    void doubleClicked(const PagePoint &at);
    void selectionChanged();
    TextSelection::PageLookup pageLookup() const;

    PageView &m_view;
    TextIndex m_index;
    std::optional<IndexRequest> m_indexWaiting; // opened, index not yet started
    TextSearch m_search;
    TextSelection m_selection;
    TextPoint m_anchor;          // where the current drag started
    bool m_finding = false;      // the last search's hits are marked on the pages around the view
    std::optional<SearchHit> m_shownHit; // the hit last shown
    bool m_hitPlaced = false;    // ... drawn and scrolled to with its page's full text
    QPointer<SearchResultsPane> m_results; // owned by its parent widget once placed
};
