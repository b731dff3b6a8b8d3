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

class LongWork;
class PageView;
class SearchResultsPane;
struct PagePoint;

// It also answers what assistive technologies read off the view's pages.
class TextLayer : public QObject, public PageReading {
    Q_OBJECT
public:
    explicit TextLayer(PageView &view, QObject *parent = nullptr);
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

    // The searches, as jobs (TextSearch) that show what they found when they
    // finish; null without a document. A find answers 1 when found, 0 when not
    // found in a text searched whole, ViewerControl::SearchIncomplete otherwise;
    // a search-all answers the number of hits, or as a find when there are none.
    std::shared_ptr<LongWork> beginFind(const QString &text);
    std::shared_ptr<LongWork> beginFindNext();
    std::shared_ptr<LongWork> beginFindPrevious();
    std::shared_ptr<LongWork> beginSearchAll(const QString &text);
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
    // What a find and a search-all answer when they found nothing.
    static int missAnswer(const SearchOutcome &outcome);
    // Shows a hit of find next or find previous; 1 when there was one.
    int showFound(const std::optional<SearchHit> &hit);

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
