#pragma once
// The document's outline as a tree beside the pages; choosing an entry asks
// for its target. As the reader moves, the entry of the section being read is
// marked. Empty for a document without an outline.

#include "DocumentOutline.h"

#include <QTreeWidget>

class OutlinePane : public QTreeWidget {
    Q_OBJECT
public:
    explicit OutlinePane(QWidget *parent = nullptr);

    // Entries in pre-order with their depth, as PdfDocument::outline() gives them.
    void setEntries(const QVector<OutlineEntry> &entries);
    // Marks the last entry whose target lies at or above the point (page from
    // 0, page points), the start of the section being read there.
    void markSectionAt(int page, const QPointF &point);

signals:
    void entryChosen(const OutlineEntry &entry);

private:
    void choose(QTreeWidgetItem *item);

    QVector<OutlineEntry> m_entries; // in the order of the tree's items
    QVector<QTreeWidgetItem *> m_items;
};
