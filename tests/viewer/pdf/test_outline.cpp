// The outline pane mirrors the document's outline, moves to the chosen entry's
// point and marks the section being read.
#include "Fixtures.h"
#include "HostilePdfs.h"
#include "ScriptedModalUi.h"
#include "ShownText.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/OutlinePane.h"
#include "viewer/pdf/PageView.h"
#include "viewer/pdf/PdfDocument.h"

#include <QSignalSpy>

namespace {

SampleDocument withOutline()
{
    SampleDocument doc;
    for (int i = 1; i <= 6; ++i)
        doc.pages.append(SamplePage::withLines({QStringLiteral("Page %1").arg(i)}));
    doc.outline = {
        {QStringLiteral("第一章 开始"), 1,
         {{QStringLiteral("1.1 Details"), 2, {{QStringLiteral("1.1.1 深处"), 3, {}}}},
          {QStringLiteral("1.2 More"), 4, {}}}},
        {QStringLiteral("Appendix"), 6, {}},
    };
    return doc;
}

// "title@page" for every item, indented by depth, in tree order.
QStringList describe(QTreeWidgetItem *item, int depth = 0)
{
    QStringList lines;
    lines << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
    for (int i = 0; i < item->childCount(); ++i)
        lines << describe(item->child(i), depth + 1);
    return lines;
}

QStringList describe(QTreeWidget *tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        lines << describe(tree->topLevelItem(i));
    return lines;
}

} // namespace

class TestOutline : public QObject {
    Q_OBJECT
    Fixtures fx;
    ScriptedModalUi ui;

private slots:
    void treeMatchesTheDocument()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.write("outline.pdf", withOutline()), {}, {}), 0);
        QCOMPARE(describe(viewer.outlinePane()),
                 (QStringList{QStringLiteral("第一章 开始"), QStringLiteral("  1.1 Details"),
                              QStringLiteral("    1.1.1 深处"), QStringLiteral("  1.2 More"),
                              QStringLiteral("Appendix")}));
    }

    void titlesShowInTheirTipsAsWritten()
    {
        const QString title = QStringLiteral("<img src=\"/nonexistent/x.png\">第二章");
        SampleDocument doc;
        doc.pages.append(SamplePage::withLines({QStringLiteral("Page 1")}));
        doc.outline = {{title, 1, {}}};
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.write("markup.pdf", doc), {}, {}), 0);
        QTreeWidgetItem *item = viewer.outlinePane()->topLevelItem(0);
        QCOMPARE(item->text(0), title);
        QCOMPARE(shownAsAutoText(item->toolTip(0)), title);
    }

    void choosingAnEntryMovesToItsPage()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(700, 500);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(fx.write("outline.pdf", withOutline()), {}, {}), 0);
        viewer.setOutlineVisible(1);
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCoreApplication::processEvents(); // lays the pane out
        QSignalSpy spy(&viewer, &ViewerControl::PageChanged);
        OutlinePane *pane = viewer.outlinePane();
        QTreeWidgetItem *deep = pane->topLevelItem(0)->child(0)->child(0);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, pane->visualItemRect(deep).center());
        QCOMPARE(viewer.CurrentPage(), 3);
        QVERIFY(!spy.isEmpty());
        QCOMPARE(spy.last().at(0).toInt(), 3);
        emit pane->itemActivated(pane->topLevelItem(1), 0); // Enter on an entry
        QCOMPARE(viewer.CurrentPage(), 6);
        QCOMPARE(spy.last().at(0).toInt(), 6);
        // Single-page layout too.
        viewer.setPageLayout(0);
        emit pane->itemActivated(pane->topLevelItem(0)->child(1), 0);
        QCOMPARE(viewer.CurrentPage(), 4);
    }

    void theSectionBeingReadIsMarked()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(700, 500);
        viewer.show();
        SampleDocument doc = withOutline();
        doc.outline[0].children[1].children = {{QStringLiteral("1.2.1 Lower down"), 4, {}, 500}};
        QCOMPARE(viewer.OpenDocument(fx.write("marked.pdf", doc), {}, {}), 0);
        OutlinePane *pane = viewer.outlinePane();
        QCOMPARE(pane->currentItem(), pane->topLevelItem(0));
        viewer.setCurrentPage(5);
        QCOMPARE(pane->currentItem()->text(0), QStringLiteral("1.2.1 Lower down"));
        viewer.setCurrentPage(3);
        QCOMPARE(pane->currentItem()->text(0), QStringLiteral("1.1.1 深处"));
        viewer.setCurrentPage(4); // the page's top: above the section lower down
        QCOMPARE(pane->currentItem()->text(0), QStringLiteral("1.2 More"));
        viewer.setCurrentPage(6);
        QCOMPARE(pane->currentItem()->text(0), QStringLiteral("Appendix"));
        // An entry lands on its point, not the top of its page.
        QTreeWidgetItem *lower = pane->topLevelItem(0)->child(1)->child(0);
        emit pane->itemActivated(lower, 0);
        QCOMPARE(viewer.CurrentPage(), 4);
        QVERIFY(qAbs(viewer.pageView()->pageToWidget(3, QPointF(0, 500)).y()) < 1);
        QCOMPARE(pane->currentItem(), lower);
    }

    // Hundreds of entries with megabyte titles once froze the window for minutes.
    void longOutlineOpensItsTopLevelWithTitlesCut()
    {
        MuPdfViewer viewer(ui);
        viewer.show();
        const QString path = fx.bytes("long-titles.pdf", hostile::longTitles(100, 1 << 20));
        QCOMPARE(viewer.OpenDocument(path, {}, {}), 0);
        OutlinePane *pane = viewer.outlinePane();
        QCOMPARE(pane->topLevelItemCount(), 100);
        QTreeWidgetItem *section = pane->topLevelItem(99)->child(1);
        QCOMPARE(section->childCount(), 3);
        QCOMPARE(section->child(2)->text(0), QString(1000, QLatin1Char('W')));
        QVERIFY(pane->topLevelItem(99)->isExpanded());
        QVERIFY(!section->isExpanded());
    }

    // An outline of tens of thousands of entries is read up to its cap.
    void wideOutlineIsCutAtItsCap()
    {
        const PdfDocument::Opened opened =
            PdfDocument::open(fx.bytes("wide.pdf", hostile::longTitles(7300, 1)), {}, {});
        QCOMPARE(opened.status, 0);
        QCOMPARE(opened.document->outline().size(), 65536); // of 65700
    }

    void noOutlineGivesAnEmptyPane()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.write("outline.pdf", withOutline()), {}, {}), 0);
        QCOMPARE(viewer.OpenDocument(fx.pages("plain.pdf", 2), {}, {}), 0);
        QCOMPARE(viewer.outlinePane()->topLevelItemCount(), 0);
        QCOMPARE(viewer.OpenDocument(fx.write("outline.pdf", withOutline()), {}, {}), 0);
        viewer.CloseDocument();
        QCOMPARE(viewer.outlinePane()->topLevelItemCount(), 0);
    }

    void visibilityReadsBackAsThePaneStands()
    {
        MuPdfViewer viewer(ui);
        viewer.show();
        viewer.setOutlineVisible(1);
        QCOMPARE(viewer.OutlineVisible(), 1);
        QVERIFY(viewer.outlinePane()->isVisible());
        viewer.setOutlineVisible(0);
        QCOMPARE(viewer.OutlineVisible(), 0);
        QVERIFY(!viewer.outlinePane()->isVisible());
        viewer.setOutlineVisible(7);
        QCOMPARE(viewer.OutlineVisible(), 1);
        // Hiding the whole viewer does not change what the pane reports.
        viewer.hide();
        QCOMPARE(viewer.OutlineVisible(), 1);
    }
};

QTEST_MAIN(TestOutline)
#include "test_outline.moc"
