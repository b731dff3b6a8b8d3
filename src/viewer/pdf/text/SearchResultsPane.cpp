#include "viewer/pdf/text/SearchResultsPane.h"

#include "viewer/pdf/PlainToolTip.h"
#include "viewer/pdf/text/CharClass.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const int HitIndexRole = Qt::UserRole;
// Text kept before a hit, in columns (a Chinese character takes two): little
// enough that the hit stays in sight in a narrow list.
const int BeforeColumns = 16;
// Lines are added for this long at a time, well inside a frame.
const qint64 SliceMs = 8;

QString lastColumns(const QString &text, int columns)
{
    const QList<uint> codes = text.toUcs4();
    qsizetype from = codes.size();
    for (int used = 0; from > 0; --from) {
        used += CharClass::isCjk(char32_t(codes[from - 1])) ? 2 : 1;
        if (used > columns)
            break;
    }
    if (from == 0) // all of it fits
        return text;
    const QList<uint> kept = codes.mid(from);
    return QStringLiteral("…") + QString::fromUcs4(reinterpret_cast<const char32_t *>(kept.constData()), kept.size());
}
} // namespace

SearchResultsPane::SearchResultsPane(QWidget *parent)
    : QWidget(parent), m_summary(new QLabel(this)), m_list(new QTreeWidget(this)),
      m_filling(new QTimer(this))
{
    m_filling->setSingleShot(true);
    m_filling->setInterval(0);
    connect(m_filling, &QTimer::timeout, this, &SearchResultsPane::addSlice);
    setObjectName(QStringLiteral("SearchResultsPane"));
    auto *close = new QToolButton(this);
    close->setText(QStringLiteral("关闭"));
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, &QWidget::hide);

    auto *header = new QHBoxLayout;
    header->addWidget(m_summary, 1);
    header->addWidget(close);

    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("页码"), QStringLiteral("内容")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { choose(item); });
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { choose(item); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(header);
    layout->addWidget(m_list, 1);
}

QString SearchResultsPane::contextLine(const ListedHit &hit)
{
    return QStringLiteral("%1【%2】%3").arg(lastColumns(hit.before, BeforeColumns), hit.text, hit.after);
}

QSize SearchResultsPane::sizeHint() const
{
    // Wide enough for a page number and most of a context line.
    return QSize(fontMetrics().averageCharWidth() * 48, QWidget::sizeHint().height());
}

void SearchResultsPane::reveal()
{
    if (isVisibleTo(parentWidget()))
        return;
    show();
    auto *splitter = qobject_cast<QSplitter *>(parentWidget());
    if (!splitter)
        return;
    QList<int> sizes = splitter->sizes();
    const int mine = splitter->indexOf(this);
    const auto widest = std::max_element(sizes.begin(), sizes.end());
    const int want = std::min(sizeHint().width(), *widest / 2);
    if (mine < 0 || widest == sizes.begin() + mine || want <= sizes[mine])
        return;
    *widest -= want - sizes[mine];
    sizes[mine] = want;
    splitter->setSizes(sizes);
}

void SearchResultsPane::setHits(std::vector<SearchHit> hits, size_t total,
                                bool coveredTruncated, Describe describe)
{
    clear();
    const QString found = hits.size() < total
                              ? QStringLiteral("共找到 %1 处，只列出前 %2 处").arg(total).arg(hits.size())
                              : QStringLiteral("共找到 %1 处").arg(total);
    m_summary->setText(coveredTruncated
                           ? found + QStringLiteral("（有的页面文字过多，只检索了其中一部分）：")
                           : found + QStringLiteral("："));
    m_hits = std::move(hits);
    m_describe = std::move(describe);
    addSlice();
}

void SearchResultsPane::addSlice()
{
    QElapsedTimer slice;
    slice.start();
    QList<QTreeWidgetItem *> items;
    size_t next = size_t(m_list->topLevelItemCount());
    for (; next < m_hits.size() && !slice.hasExpired(SliceMs); ++next) {
        const ListedHit hit = m_describe(m_hits[next]);
        auto *item = new QTreeWidgetItem(
            {QStringLiteral("第 %1 页").arg(hit.hit.page + 1), contextLine(hit)});
        item->setData(0, HitIndexRole, int(next));
        item->setToolTip(1, plainToolTip(item->text(1)));
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    if (next < m_hits.size())
        m_filling->start();
}

void SearchResultsPane::clear()
{
    m_filling->stop();
    m_describe = nullptr;
    m_list->clear();
    m_hits.clear();
    m_summary->clear();
}

void SearchResultsPane::choose(QTreeWidgetItem *item)
{
    const int index = item ? item->data(0, HitIndexRole).toInt() : -1;
    if (index >= 0 && index < int(m_hits.size()))
        emit hitChosen(m_hits[size_t(index)]);
}
