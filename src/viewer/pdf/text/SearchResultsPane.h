#pragma once
// The list of full-text search hits shown beside the pages: one line per hit, its
// page and the text around it with the hit marked. Choosing a line asks the viewer
// to move to that hit.

#include "viewer/pdf/text/TextSearch.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class SearchResultsPane : public QWidget {
    Q_OBJECT
public:
    explicit SearchResultsPane(QWidget *parent = nullptr);

    // Tells a hit's surrounding text, for its line.
    using Describe = std::function<ListedHit(const SearchHit &)>;
    // Lists the hits, `total` of which were found; the summary says so when the
    // list holds fewer, and when some page searched holds only part of its text
    // (coveredTruncated). The lines are added a slice at a time, so a long list
    // never holds the window up.
    void setHits(std::vector<SearchHit> hits, size_t total, bool coveredTruncated,
                 Describe describe);
    // Shows the pane; placed in a splitter, it takes its preferred width from the
    // widest of its neighbours.
    void reveal();
    void clear();
    // The line shown for a hit, e.g. "…前文【命中】后文", with little enough
    // text before the hit that the hit shows.
    static QString contextLine(const ListedHit &hit);

    QSize sizeHint() const override;

signals:
    void hitChosen(const SearchHit &hit);

private:
    void choose(QTreeWidgetItem *item);
    void addSlice();

    QLabel *m_summary;
    QTreeWidget *m_list;
    QTimer *m_filling;             // adds the next slice of lines
    std::vector<SearchHit> m_hits; // the list's lines and those still to add, in order
    Describe m_describe;
};
