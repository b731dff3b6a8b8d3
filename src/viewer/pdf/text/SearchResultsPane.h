#pragma once
// The list of full-text search hits shown beside the pages: one line per hit, its
// page and the text around it with the hit marked. Choosing a line asks the viewer
// to move to that hit.

#include "viewer/pdf/text/TextSearch.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

class SearchResultsPane : public QWidget {
    Q_OBJECT
public:
    explicit SearchResultsPane(QWidget *parent = nullptr);

    // coveredTruncated: some page searched holds only part of its text, which the
    // summary says.
    void setHits(const std::vector<ListedHit> &hits, bool coveredTruncated = false);
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

    QLabel *m_summary;
    QTreeWidget *m_list;
    std::vector<SearchHit> m_hits; // parallel to the list's lines
};
