// Links inside documents: a click with the hand tool follows a link to its
// point in the document (a jump back and forward walk), reports web and mail
// addresses for the window to open, and never runs file:, launch or JavaScript
// actions.
#include "Fixtures.h"
#include "RawPdf.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"
#include "viewer/pdf/PdfDocument.h"

#include <QScrollBar>
#include <QSignalSpy>

namespace {

// Link areas on page 1, in page points (origin top left, y down), 200 × 50 each.
const QPointF kToPage3(150, 117);
const QPointF kWeb(150, 217);
const QPointF kMail(150, 317);
const QPointF kFile(400, 117);
const QPointF kLaunch(400, 217);
const QPointF kScript(400, 317);
const QPointF kScriptUri(400, 417);
const QPointF kNoLink(150, 600);

QByteArray annotation(double x, double top, const QByteArray &action)
{
    const QByteArray rect = QByteArray::number(x) + ' ' + QByteArray::number(842 - top - 50) + ' '
                            + QByteArray::number(x + 200) + ' ' + QByteArray::number(842 - top);
    return "<< /Type /Annot /Subtype /Link /Rect [" + rect + "] /Border [0 0 0] " + action + " >>";
}

// The links on page 1 lead to page 3; blank pages follow up to `pages`.
QByteArray linkedDocument(int pages = 3)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    QByteArray kids = "3 0 R 4 0 R 5 0 R";
    for (int extra = 0; extra < pages - 3; ++extra)
        kids += ' ' + QByteArray::number(13 + extra) + " 0 R";
    pdf.add("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Annots [6 0 R 7 0 R 8 0 R "
            "9 0 R 10 0 R 11 0 R 12 0 R] >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
    pdf.add(annotation(50, 92, "/Dest [5 0 R /XYZ 0 342 0]")); // 500 points from the top
    pdf.add(annotation(50, 192, "/A << /S /URI /URI (https://example.org/guide?a=1) >>"));
    pdf.add(annotation(50, 292, "/A << /S /URI /URI (mailto:reader@example.org) >>"));
    pdf.add(annotation(300, 92, "/A << /S /URI /URI (file:///etc/passwd) >>"));
    pdf.add(annotation(300, 192, "/A << /S /Launch /F (/bin/sh) >>"));
    pdf.add(annotation(300, 292, "/A << /S /JavaScript /JS (app.alert\\(1\\)) >>"));
    pdf.add(annotation(300, 392, "/A << /S /URI /URI (javascript:app.alert\\(1\\)) >>"));
    for (int extra = 0; extra < pages - 3; ++extra)
        pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
    return pdf.classic(root);
}

} // namespace

class TestLinks : public QObject {
    Q_OBJECT
    Fixtures fx;
    ScriptedModalUi ui;

private slots:
    void onlyWebAndMailAddressesMayBeOpened()
    {
        QCOMPARE(openableUrl(QStringLiteral("https://example.org/a")), QUrl("https://example.org/a"));
        QCOMPARE(openableUrl(QStringLiteral("HTTP://example.org")), QUrl("http://example.org"));
        QCOMPARE(openableUrl(QStringLiteral("mailto:a@example.org")), QUrl("mailto:a@example.org"));
        // A mail program that honours attach= would send the named local file.
        QCOMPARE(openableUrl(QStringLiteral("mailto:a@example.org,b@example.org?attach=/home/u/.ssh/id_rsa"
                                            "&Subject=Hi%20there&cc=c@example.org&%61ttach=x&body=a%26b"
                                            "&bcc=d@example.org&X-Header=1#frag")),
                 QUrl("mailto:a@example.org,b@example.org?Subject=Hi%20there&cc=c@example.org"
                      "&body=a%26b&bcc=d@example.org"));
        QCOMPARE(openableUrl(QStringLiteral("mailto:a@example.org?ATTACHMENT=x")), QUrl("mailto:a@example.org"));
        for (const char *refused : {"file:///etc/passwd", "javascript:alert(1)", "http:/no-host",
                                    "smb://server/share", "/bin/sh", "", "data:text/html,<b>x</b>"})
            QVERIFY2(openableUrl(QString::fromLatin1(refused)).isEmpty(), refused);
    }

    void linksAreKnownOnceThePageIsRecorded()
    {
        const PdfDocument::Opened opened =
            PdfDocument::open(fx.bytes("links.pdf", linkedDocument(40)), {}, {});
        QCOMPARE(opened.status, 0);
        PdfDocument &doc = *opened.document;
        QVERIFY(!doc.linkAt(0, kToPage3)); // not asked for yet: the GUI never waits
        QVERIFY(doc.displayList(0, nullptr));
        QCOMPARE(doc.linkAt(0, kToPage3)->page, 2);
        QCOMPARE(doc.linkAt(0, kToPage3)->target, QPointF(0, 500));
        QCOMPARE(doc.linkAt(0, kWeb)->url, QUrl("https://example.org/guide?a=1"));
        QCOMPARE(doc.linkAt(0, kMail)->url, QUrl("mailto:reader@example.org"));
        for (const QPointF &never : {kFile, kLaunch, kScript, kScriptUri, kNoLink})
            QVERIFY(!doc.linkAt(0, never));
        // Page 1 may still be shown from its rendered tiles long after its
        // recording gave way to other pages'; its links once went with it.
        for (int page = 1; page < doc.pageCount(); ++page)
            QVERIFY(doc.displayList(page, nullptr));
        QCOMPARE(doc.links(0).size(), 3);
    }

    void clickFollowsLinksAndRunsNothingElse()
    {
        MuPdfViewer viewer(ui);
        QSignalSpy reported(&viewer, &ViewerControl::linkActivated);
        viewer.resize(700, 900);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(fx.bytes("click.pdf", linkedDocument()), {}, {}), 0);
        viewer.setZoomFactor(1.0);
        PageView *view = viewer.pageView();
        QWidget *port = view->viewport();
        QTRY_VERIFY(view->isViewComplete());
        auto click = [&](const QPointF &pagePoint) {
            QTest::mouseClick(port, Qt::LeftButton, {}, view->pageToWidget(0, pagePoint).toPoint());
        };

        for (const QPointF &never : {kFile, kLaunch, kScript, kScriptUri, kNoLink})
            click(never);
        QCOMPARE(reported.count(), 0);
        QCOMPARE(viewer.CurrentPage(), 1);

        click(kWeb);
        click(kMail);
        QCOMPARE(reported.count(), 2);
        QCOMPARE(reported.at(0).at(0).toUrl(), QUrl("https://example.org/guide?a=1"));
        QCOMPARE(reported.at(1).at(0).toUrl(), QUrl("mailto:reader@example.org"));

        // A drag that starts on a link scrolls and opens nothing.
        const QPoint from = view->pageToWidget(0, kWeb).toPoint();
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(0, -40)),
                         port->mapToGlobal(QPointF(from + QPoint(0, -40))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, {}, from + QPoint(0, -40));
        QCOMPARE(reported.count(), 2);

        QSignalSpy pages(&viewer, &ViewerControl::PageChanged);
        const PagePoint start = view->topLeftPoint();
        click(kToPage3);
        QCOMPARE(viewer.CurrentPage(), 3);
        QCOMPARE(pages.last().at(0).toInt(), 3);
        // The view goes as far towards the link's point as the last page lets
        // it: not the page's top.
        QCOMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
        QVERIFY(view->pageToWidget(2, QPointF(0, 0)).y() < -100);
        const PagePoint target = view->topLeftPoint();

        // Back and forward walk the jumps: Alt+Left and Alt+Right, the mouse's
        // back and forward buttons.
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        const auto at = [view](int page, const QPointF &point) {
            const PagePoint now = view->topLeftPoint();
            return now.page == page && qAbs(now.point.y() - point.y()) < 1;
        };
        QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
        QVERIFY(at(0, start.point));
        QTest::mouseClick(port, Qt::ForwardButton);
        QVERIFY(at(2, target.point));
        QTest::mouseClick(port, Qt::BackButton);
        QVERIFY(at(0, start.point));
        // A typed page is a jump too, and forgets the way forward; paging is none.
        viewer.setCurrentPage(3);
        viewer.setCurrentPage(2);
        QTest::keyClick(view, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(viewer.CurrentPage(), 2);
        QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
        QVERIFY(at(0, start.point));
        QCOMPARE(pages.last().at(0).toInt(), 1);
        // The history goes with the document.
        viewer.setCurrentPage(3);
        viewer.CloseDocument();
        QCOMPARE(viewer.OpenDocument(fx.bytes("click.pdf", linkedDocument()), {}, {}), 0);
        viewer.setCurrentPage(2);
        viewer.setCurrentPage(3);
        QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(viewer.CurrentPage(), 3);

        // The text tool selects and follows nothing.
        viewer.setCurrentPage(1);
        viewer.setMouseMode(1);
        click(kWeb);
        click(kToPage3);
        QCOMPARE(reported.count(), 2);
        QCOMPARE(viewer.CurrentPage(), 1);
    }

    // A typed page shows its top with the margin above it, which lies nearer
    // the page before: going back must still name the page the jump left.
    void backShowsThePageTheJumpLeftFrom()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(700, 900);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(fx.bytes("pages.pdf", linkedDocument(40)), {}, {}), 0);
        QSignalSpy pages(&viewer, &ViewerControl::PageChanged);
        viewer.setCurrentPage(20);
        const int top = viewer.pageView()->verticalScrollBar()->value();
        viewer.setCurrentPage(30);
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTest::keyClick(viewer.pageView(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(viewer.pageView()->verticalScrollBar()->value(), top);
        QCOMPARE(viewer.CurrentPage(), 20);
        QCOMPARE(pages.last().at(0).toInt(), 20);
        QTest::keyClick(viewer.pageView(), Qt::Key_Right, Qt::AltModifier);
        QTest::keyClick(viewer.pageView(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(viewer.CurrentPage(), 20);
    }
};

QTEST_MAIN(TestLinks)
#include "test_links.moc"
