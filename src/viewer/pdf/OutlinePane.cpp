#include "OutlinePane.h"

#include "viewer/pdf/PlainToolTip.h"

#include <QHeaderView>

namespace {
constexpr int kPageRole = Qt::UserRole;
// An outline up to this size opens fully, its column as wide as its titles. A
// larger one would keep the window busy for seconds laying out text, so its
// column takes the pane's width (long titles are elided) and only the top
// level opens.
constexpr int kFullyOpenedEntries = 1000;
constexpr qsizetype kFullyOpenedCharacters = 50000;

bool fitsFullyOpened(const QVector<OutlineEntry> &entries)
{
    if (entries.size() > kFullyOpenedEntries)
        return false;
    qsizetype characters = 0;
    for (const OutlineEntry &entry : entries)
        characters += entry.title.size();
    return characters <= kFullyOpenedCharacters;
}
} // namespace

OutlinePane::OutlinePane(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    connect(this, &QTreeWidget::itemClicked, this, &OutlinePane::choose);
    connect(this, &QTreeWidget::itemActivated, this, &OutlinePane::choose);
}

void OutlinePane::setEntries(const QVector<OutlineEntry> &entries)
{
    clear();
    const bool fullyOpened = fitsFullyOpened(entries);
    header()->setSectionResizeMode(fullyOpened ? QHeaderView::ResizeToContents
                                               : QHeaderView::Stretch);
    // The tree is built apart from the view and handed over at once, so the
    // view takes it in one step rather than one per entry.
    QList<QTreeWidgetItem *> topLevel;
    // parents[d] is the latest item at depth d; a deeper entry hangs below it.
    QVector<QTreeWidgetItem *> parents;
    for (const OutlineEntry &entry : entries) {
        const int depth = std::min<int>(entry.depth, parents.size());
        parents.resize(depth);
        auto *item = depth == 0 ? new QTreeWidgetItem : new QTreeWidgetItem(parents.last());
        if (depth == 0)
            topLevel.append(item);
        item->setText(0, entry.title);
        item->setToolTip(0, plainToolTip(entry.title));
        item->setData(0, kPageRole, entry.page);
        parents.append(item);
    }
    addTopLevelItems(topLevel);
    if (fullyOpened)
        expandAll();
    else
        expandToDepth(0);
}

void OutlinePane::choose(QTreeWidgetItem *item)
{
    const int page = item ? item->data(0, kPageRole).toInt() : -1;
    if (page >= 0)
        emit pageChosen(page);
}
