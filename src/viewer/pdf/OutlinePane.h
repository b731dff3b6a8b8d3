#pragma once
// The document's outline as a tree beside the pages; choosing an entry asks
// for its page. Empty for a document without an outline.

#include "PdfDocument.h"

#include <QTreeWidget>

class OutlinePane : public QTreeWidget {
    Q_OBJECT
public:
    explicit OutlinePane(QWidget *parent = nullptr);

    // Entries in pre-order with their depth, as PdfDocument::outline() gives them.
    void setEntries(const QVector<OutlineEntry> &entries);

signals:
    void pageChosen(int page); // from 0

private:
    void choose(QTreeWidgetItem *item);
};
