// A PDF dropped on the window opens; anything else is ignored.
#include "FileBytes.h"
#include "ShellFixture.h"
#include "app/DroppedPdf.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {
// Enter, then drop, as a drag from the file manager delivers them.
void dragAndDrop(QWidget *target, QMimeData *data)
{
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}
const QByteArray minimalPdf = "%PDF-1.4\n1 0 obj<</Type/Catalog>>endobj\ntrailer<</Root 1 0 R>>\n%%EOF\n";
} // namespace

class TestDragAndDrop : public QObject {
    Q_OBJECT
private slots:
    void recognisesOnlyOneLocalPdf()
    {
        QTemporaryDir dir;
        const QString pdf = writeBytes(dir.filePath("a.pdf"), minimalPdf);
        const QString renamed = writeBytes(dir.filePath("no-extension"), minimalPdf);
        const QString text = writeBytes(dir.filePath("notes.txt"), "hello");

        QMimeData one;
        one.setUrls({QUrl::fromLocalFile(pdf)});
        QCOMPARE(droppedPdfPath(&one), pdf);
        QMimeData byContent;
        byContent.setUrls({QUrl::fromLocalFile(renamed)});
        QCOMPARE(droppedPdfPath(&byContent), renamed);

        QMimeData two;
        two.setUrls({QUrl::fromLocalFile(pdf), QUrl::fromLocalFile(pdf)});
        QMimeData txt;
        txt.setUrls({QUrl::fromLocalFile(text)});
        QMimeData remote;
        remote.setUrls({QUrl(QStringLiteral("http://127.0.0.1/a.pdf"))});
        QMimeData plain;
        plain.setText(pdf);
        QMimeData folder;
        folder.setUrls({QUrl::fromLocalFile(dir.path())});
        for (QMimeData *d : {&two, &txt, &remote, &plain, &folder})
            QCOMPARE(droppedPdfPath(d), QString());
    }

    void droppingOpensThroughOpenPdf()
    {
        ShellFixture f;
        const QString path = writeBytes(f.dir.filePath("dropped.pdf"), minimalPdf);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        dragAndDrop(f.window.get(), &data);
        QCOMPARE(f.viewer->opens.size(), 1);
        QCOMPARE(f.viewer->opens[0].path, path);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [%1]").arg(path));

        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(writeBytes(f.dir.filePath("t.txt"), "hello"))});
        dragAndDrop(f.window.get(), &text);
        QCOMPARE(f.viewer->opens.size(), 1);
    }

    // A file dropped while an open still waits is not opened inside that open.
    void dropDuringAnOpenIsIgnored()
    {
        ShellFixture f;
        const QString first = writeBytes(f.dir.filePath("first.pdf"), minimalPdf);
        QMimeData second;
        second.setUrls({QUrl::fromLocalFile(writeBytes(f.dir.filePath("second.pdf"), minimalPdf))});
        f.viewer->duringOpen = [&] { dragAndDrop(f.window.get(), &second); };
        f.window->openPdf(first, {}, {});
        QCOMPARE(f.viewer->opens.size(), 1);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [%1]").arg(first));
        f.viewer->duringOpen = nullptr;
        dragAndDrop(f.window.get(), &second); // afterwards a drop opens again
        QCOMPARE(f.viewer->opens.size(), 2);
    }
};

QTEST_MAIN(TestDragAndDrop)
#include "test_drag_and_drop.moc"
