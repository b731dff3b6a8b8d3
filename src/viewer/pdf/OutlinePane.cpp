#include "OutlinePane.h"

#include "viewer/pdf/PlainToolTip.h"

#include <QHeaderView>

namespace {
constexpr int kPageRole = Qt::UserRole;
}

OutlinePane::OutlinePane(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemClicked, this, &OutlinePane::choose);
    connect(this, &QTreeWidget::itemActivated, this, &OutlinePane::choose);
}

void OutlinePane::setEntries(const QVector<OutlineEntry> &entries)
{
    clear();
    // parents[d] is the latest item at depth d; a deeper entry hangs below it.
    QVector<QTreeWidgetItem *> parents;
    for (const OutlineEntry &entry : entries) {
        const int depth = std::min<int>(entry.depth, parents.size());
        parents.resize(depth);
        auto *item = depth == 0 ? new QTreeWidgetItem(this)
                                : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.title);
        item->setToolTip(0, plainToolTip(entry.title));
        item->setData(0, kPageRole, entry.page);
        parents.append(item);
    }
    expandAll();
}

void OutlinePane::choose(QTreeWidgetItem *item)
{
    const int page = item ? item->data(0, kPageRole).toInt() : -1;
    if (page >= 0)
        emit pageChosen(page);
}
