// The text layer inside the MuPDF viewer: find, find next, search-all with its results
// list, and the text-select tool, driven as the main window and the mouse drive them.

#include "ScriptedModalUi.h"
#include "Fixtures.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"
#include "viewer/pdf/text/SearchResultsPane.h"
#include "viewer/pdf/text/TextDocument.h"

#include <QLabel>
#include <QTreeWidget>

namespace {

// The middle of the left edge of a character's box, and just right of its right edge.
QPointF leftOf(const PageText &page, int index)
{
    const QRectF box = page.boxes[size_t(index)].rect();
    return QPointF(box.left() + 0.5, box.center().y());
}

QPointF rightOf(const PageText &page, int index)
{
    const QRectF box = page.boxes[size_t(index)].rect();
    return QPointF(box.right() + 2, box.center().y());
}

// Pixels of the view (or of one page of it) that show the colour within a small tolerance.
int pixelsOf(PageView *view, const QColor &colour, int page = -1)
{
    const QImage shot = view->viewport()->grab().toImage();
    QRect area = shot.rect();
    if (page >= 0) {
        const QSizeF size = view->layout().pageSize(page);
        area &= QRectF(view->pageToWidget(page, QPointF(0, 0)),
                       view->pageToWidget(page, QPointF(size.width(), size.height())))
                    .toRect();
    }
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            count += qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green())
                         + qAbs(c.blue() - colour.blue())
                     < 12;
        }
    return count;
}

// The marks of a find over white paper: every hit, and the current one.
const QColor kHitOnPaper(255, 233, 145);
const QColor kCurrentHitOnPaper(255, 165, 105);

} // namespace

class TextLayerTest : public QObject {
    Q_OBJECT
private:
    Fixtures m_fx;
    QString m_known;
    std::vector<PageText> m_pages; // the fixture's text, for placing the mouse

    void drag(MuPdfViewer &viewer, int page, QPointF from, QPointF to)
    {
        PageView *view = viewer.pageView();
        QWidget *port = view->viewport();
        const QPoint a = view->pageToWidget(page, from).toPoint();
        const QPoint b = view->pageToWidget(page, to).toPoint();
        QTest::mousePress(port, Qt::LeftButton, {}, a);
        QMouseEvent move(QEvent::MouseMove, b, port->mapToGlobal(b), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, {}, b);
    }

private slots:
    void initTestCase()
    {
        m_known = m_fx.write("known.pdf", knownTextDocument());
        TextDocument::OpenResult result;
        const auto doc = TextDocument::open(m_known, "", "", &result);
        QVERIFY(doc);
        for (int i = 0; i < doc->pageCount(); ++i)
            m_pages.push_back(*doc->extractPage(i, nullptr));
    }

    void findAndFindNextMoveToEachHitAndWrap()
    {
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        viewer.resize(800, 600);
        viewer.show();
        QCOMPARE(viewer.FindText("hello"), 0); // no document
        viewer.FindNext();
        QCOMPARE(viewer.OpenDocument(m_known, "", ""), 0);
        QCOMPARE(viewer.FindText("HELLO"), 1);
        QCOMPARE(viewer.CurrentPage(), 1);
        viewer.FindNext();
        QCOMPARE(viewer.CurrentPage(), 3);
        viewer.FindNext();
        QCOMPARE(viewer.CurrentPage(), 1);
        // Shift+F3 goes back, wrapping the other way.
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTest::keyClick(viewer.pageView(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(viewer.CurrentPage(), 3);
        QTest::keyClick(viewer.pageView(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(viewer.CurrentPage(), 1);
        // Every hit in view is marked, the current one apart: "o" twice on page 1.
        QCOMPARE(viewer.FindText("o"), 1);
        QTRY_VERIFY(viewer.pageView()->isViewComplete());
        QVERIFY(pixelsOf(viewer.pageView(), kCurrentHitOnPaper) > 10);
        QVERIFY(pixelsOf(viewer.pageView(), kHitOnPaper) > 10);
        // Also on the pages around it: page 2's, in view below page 1.
        viewer.resize(800, 1300);
        viewer.setZoomFactor(0.5);
        QTRY_VERIFY(viewer.pageView()->isViewComplete());
        QCOMPARE(viewer.CurrentPage(), 1);
        QVERIFY(pixelsOf(viewer.pageView(), kHitOnPaper, 1) > 10);
        viewer.resize(800, 600);
        QCOMPARE(viewer.FindText(QStringLiteral("中文文档")), 1); // across a line break
        QCOMPARE(viewer.CurrentPage(), 2);
        QCOMPARE(viewer.FindText("absent"), 0);
        QCOMPARE(viewer.CurrentPage(), 2);
        QCOMPARE(viewer.FindText("2026"), 1); // full-width digits in the document
        QCOMPARE(viewer.CurrentPage(), 3);
    }

    void searchAllListsHitsAndMovesToTheChosenOne()
    {
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        viewer.resize(800, 600);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(m_known, "", ""), 0);
        auto *pane = viewer.findChild<SearchResultsPane *>();
        QVERIFY(pane);
        QVERIFY(!pane->isVisible());
        QCOMPARE(viewer.SearchAll("hello"), 2);
        QVERIFY(pane->isVisible());
        auto *list = pane->findChild<QTreeWidget *>();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("第 3 页"));
        emit list->itemActivated(list->topLevelItem(1), 0);
        QCOMPARE(viewer.CurrentPage(), 3);
        // Find next goes on from the chosen hit.
        viewer.FindNext();
        QCOMPARE(viewer.CurrentPage(), 1);
        // A find is a new search: the list of the last one goes.
        QCOMPARE(viewer.FindText("reader"), 1);
        QVERIFY(!pane->isVisible());
        QCOMPARE(list->topLevelItemCount(), 0);

        QCOMPARE(viewer.SearchAll("hello"), 2);
        QCOMPARE(viewer.SearchAll("absent"), 0);
        QVERIFY(!pane->isVisible());
        viewer.CloseDocument();
        QVERIFY(!pane->isVisible());
        QCOMPARE(viewer.SearchAll("hello"), 0);
    }

    void textToolSelectsAcrossLinesAndKeepsTheSelectionUntilClose()
    {
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        viewer.resize(900, 1200);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(m_known, "", ""), 0);
        QCOMPARE(viewer.SearchAll("the"), 1); // waits until every page's text is in
        viewer.setMouseMode(1);

        const PageText &first = m_pages[0];
        const int lastChar = first.charCount() - 1;
        drag(viewer, 0, leftOf(first, 0), rightOf(first, lastChar));
        QCOMPARE(viewer.SelectedText(), QStringLiteral("Hello Vellumo reader\n第一页的中文内容"));

        // A selection survives a switch of tool.
        viewer.setMouseMode(0);
        QCOMPARE(viewer.SelectedText(), QStringLiteral("Hello Vellumo reader\n第一页的中文内容"));

        viewer.setMouseMode(1);
        viewer.setCurrentPage(2);
        const PageText &second = m_pages[1];
        const int chineseStart = second.lines[1].first;
        drag(viewer, 1, leftOf(second, chineseStart), rightOf(second, second.charCount() - 1));
        QCOMPARE(viewer.SelectedText(), QStringLiteral("这是一个中文\n文档的例子"));

        // Double-click selects a word.
        PageView *view = viewer.pageView();
        viewer.setCurrentPage(1);
        const QPoint onVellumo = view->pageToWidget(0, leftOf(first, 8)).toPoint();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, onVellumo);
        QCOMPARE(viewer.SelectedText(), QStringLiteral("Vellumo"));

        viewer.CloseDocument();
        QCOMPARE(viewer.SelectedText(), QString());
        QCOMPARE(viewer.OpenDocument(m_known, "", ""), 0);
        QCOMPARE(viewer.SelectedText(), QString());
    }

    void closingOrReopeningWhileTheIndexIsBuiltIsSafe()
    {
        const QString heavy = m_fx.write("heavy.pdf", SampleDocument::textHeavy(120));
        ScriptedModalUi ui;
        auto viewer = std::make_unique<MuPdfViewer>(ui);
        QCOMPARE(viewer->OpenDocument(heavy, "", ""), 0);
        viewer->CloseDocument();
        QCOMPARE(viewer->OpenDocument(heavy, "", ""), 0);
        QCOMPARE(viewer->OpenDocument(m_known, "", ""), 0);
        QCOMPARE(viewer->FindText("again"), 1);
        QCOMPARE(viewer->CurrentPage(), 3);
        QCOMPARE(viewer->OpenDocument(heavy, "", ""), 0);
        viewer.reset(); // destroyed while extracting
    }

    void cancellingTheWaitReportsNothing()
    {
        const QString heavy = m_fx.write("heavy2.pdf", SampleDocument::textHeavy(200));
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(heavy, "", ""), 0);
        ui.cancelProgress = true;
        ui.progressLabels.clear(); // a slow machine may have shown the open's
        // Asked at once, the last page cannot be ready yet. A cancel is not a "not found".
        QCOMPARE(viewer.SearchAll("Page 200 of 200"), ViewerControl::SearchCancelled);
        QCOMPARE(viewer.FindText("Page 200 of 200"), ViewerControl::SearchCancelled);
        QCOMPARE(ui.progressLabels.size(), 2);
    }

    void traditionalTextIsFoundBySimplifiedAndListedAsPrinted()
    {
        SampleDocument doc;
        doc.pages.append(SamplePage::withLines({QStringLiteral("這是一個搜尋繁體中文的例子")}));
        const QString path = m_fx.write("traditional.pdf", doc);
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(path, "", ""), 0);
        QCOMPARE(viewer.SearchAll(QStringLiteral("搜寻繁体中文")), 1);
        auto *list = viewer.findChild<SearchResultsPane *>()->findChild<QTreeWidget *>();
        QCOMPARE(list->topLevelItem(0)->text(1),
                 QStringLiteral("這是一個【搜尋繁體中文】的例子"));
    }

    // Every page of a long book is indexed whole: the text of its last page is found.
    // 10 000 pages of 1300 characters, as many as a thick book holds.
    void theLastPageOfALongBookIsFound()
    {
        SampleDocument book;
        const QString prose = QStringLiteral("Of the ten thousand pages of this book, "
                                             "every one is searched to its last line. ");
        for (int p = 1; p <= 10000; ++p) {
            QStringList lines{QStringLiteral("Page %1 of 10000").arg(p)};
            for (int l = 0; l < 16; ++l)
                lines << prose;
            book.pages.append(SamplePage::withLines(lines, 10));
        }
        const QString path = m_fx.write("book.pdf", book);
        ScriptedModalUi ui;
        ui.progressWaitMs = 250000;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(path, "", ""), 0);
        QCOMPARE(viewer.FindText("Page 10000 of 10000"), 1);
        QCOMPARE(viewer.CurrentPage(), 10000);
    }

    void aPageWithTooMuchTextIsSearchedInPartAndTheResultsSaySo()
    {
        // 1000 lines of 100 letters, then 100 lines of digits: 110 000 characters, drawn
        // tiny. The first 100 000 are kept: the letters, not the digits.
        QStringList lines;
        for (int i = 0; i < 1100; ++i)
            lines << QString(100, i < 1000 ? QChar('a' + i % 26) : QChar('7'));
        SampleDocument doc;
        doc.pages.append(SamplePage::withLines(lines, 0.4));
        const QString path = m_fx.write("crowded.pdf", doc);
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(path, "", ""), 0);
        QCOMPARE(viewer.SearchAll(QString(100, QChar('z'))), 38);
        auto *pane = viewer.findChild<SearchResultsPane *>();
        QCOMPARE(pane->findChild<QLabel *>()->text(),
                 QStringLiteral("共找到 38 处（有的页面文字过多，只检索了其中一部分）："));
        QCOMPARE(viewer.SearchAll(QString(100, QChar('7'))), ViewerControl::SearchIncomplete);
        QVERIFY(!pane->isHidden()); // to say that not everything was searched
        QCOMPARE(viewer.FindText(QString(100, QChar('7'))), ViewerControl::SearchIncomplete);
    }

    // More hits than a list shows: the first are listed, all are counted, and
    // the summary says so.
    void aSearchWithMoreHitsThanTheListShowsListsTheFirstAndCountsAll()
    {
        SampleDocument doc;
        doc.pages.append(SamplePage::withLines(QStringList(60, QString(100, QChar('x'))), 0.4));
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(m_fx.write("many-x.pdf", doc), "", ""), 0);
        QCOMPARE(viewer.SearchAll(QStringLiteral("x")), 6000);
        auto *pane = viewer.findChild<SearchResultsPane *>();
        QCOMPARE(pane->findChild<QLabel *>()->text(),
                 QStringLiteral("共找到 6000 处，只列出前 5000 处："));
        auto *list = pane->findChild<QTreeWidget *>();
        QTRY_COMPARE(list->topLevelItemCount(), 5000);
        QCOMPARE(list->topLevelItem(4999)->text(0), QStringLiteral("第 1 页"));
    }
};

QTEST_MAIN(TextLayerTest)
#include "test_text_layer.moc"
