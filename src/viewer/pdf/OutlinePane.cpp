#include "OutlinePane.h"

#include "viewer/pdf/PlainToolTip.h"

#include <QHeaderView>

#include <cmath>

namespace {
// An outline up to this size opens fully, its column as wide as its titles. A
// larger one would keep the window busy for seconds laying out text, so its
// column takes the pane's width (long titles are elided), its rows share one
// height and only the top level opens.
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

// An entry whose tip, the whole title, is made when it is asked for: made for
// every entry up front, the tips of a long outline held the window for a second.
class EntryItem : public QTreeWidgetItem {
public:
    explicit EntryItem(int entry) : m_entry(entry) {}
    EntryItem(QTreeWidgetItem *parent, int entry) : QTreeWidgetItem(parent), m_entry(entry) {}
    // Its place in the entries as the pane was given them.
    int entry() const { return m_entry; }
    QVariant data(int column, int role) const override
    {
        if (role == Qt::ToolTipRole)
            return plainToolTip(text(column));
        return QTreeWidgetItem::data(column, role);
    }

private:
    int m_entry;
};

// Where an entry's section starts, in reading order; a target without a point
// starts at the top of its page.
std::pair<int, double> startOf(const OutlineEntry &entry)
{
    return {entry.page, std::isnan(entry.target.y()) ? 0.0 : entry.target.y()};
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
    m_entries = entries;
    m_items.clear();
    const bool fullyOpened = fitsFullyOpened(entries);
    header()->setSectionResizeMode(fullyOpened ? QHeaderView::ResizeToContents
                                               : QHeaderView::Stretch);
    // Otherwise the first scroll to a marked entry lays out every title above it
    // to learn its height: seconds for tens of thousands of long titles.
    setUniformRowHeights(!fullyOpened);
    // The tree is built apart from the view and handed over at once, so the
    // view takes it in one step rather than one per entry.
    QList<QTreeWidgetItem *> topLevel;
    // parents[d] is the latest item at depth d; a deeper entry hangs below it.
    QVector<QTreeWidgetItem *> parents;
    for (const OutlineEntry &entry : entries) {
        const int depth = std::min<int>(entry.depth, parents.size());
        parents.resize(depth);
        const int index = int(m_items.size());
        auto *item = depth == 0 ? new EntryItem(index) : new EntryItem(parents.last(), index);
        if (depth == 0)
            topLevel.append(item);
        item->setText(0, entry.title);
        m_items.append(item);
        parents.append(item);
    }
    addTopLevelItems(topLevel);
    if (fullyOpened)
        expandAll();
    else
        expandToDepth(0);
}

void OutlinePane::markSectionAt(int page, const QPointF &point)
{
    const std::pair<int, double> here{page, point.y()};
    int best = -1;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].page < 0 || startOf(m_entries[i]) > here)
            continue;
        if (best < 0 || startOf(m_entries[i]) >= startOf(m_entries[best]))
            best = i;
    }
    QTreeWidgetItem *item = best >= 0 ? m_items[best] : nullptr;
    // Inside a closed branch the branch is marked: marking opens nothing.
    for (QTreeWidgetItem *up = item ? item->parent() : nullptr; up; up = up->parent())
        if (!up->isExpanded())
            item = up;
    if (item == currentItem())
        return;
    setCurrentItem(item);
    if (item)
        scrollToItem(item);
}

void OutlinePane::choose(QTreeWidgetItem *item)
{
    // Every item of the pane is an entry's.
    const int index = item ? static_cast<EntryItem *>(item)->entry() : -1;
    if (index >= 0 && index < m_entries.size() && m_entries[index].page >= 0)
        emit entryChosen(m_entries[index]);
}
