// Pages render at the screen's device pixel ratio, so they stay sharp when the
// desktop scales by 1, 1.25, 1.5 or 2. Each ratio runs in a child process of this
// test, since Qt reads QT_SCALE_FACTOR once at start.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace {
const char *const childVariable = "VELLUMO_HIGH_DPI_CHILD";

// In the child: prints "ratio scale complete pixelWidth pageWidth" for a page at zoom 1.
int reportRendering()
{
    ScriptedModalUi ui;
    Fixtures fx;
    MuPdfViewer viewer(ui);
    viewer.resize(700, 500);
    viewer.show();
    if (viewer.OpenDocument(fx.pages("dpi.pdf", 2), {}, {}) != 0)
        return 1;
    viewer.setZoomFactor(1.0);
    PageView *view = viewer.pageView();
    const bool complete = QTest::qWaitFor([view] { return view->isViewComplete(); }, 20000);
    const QPixmap shot = view->viewport()->grab();
    QPushButton button(QStringLiteral("打开(O)..."));
    button.show();
    const QPixmap buttonShot = button.grab();
    std::printf("%.17g %.17g %d %d %d %d %d\n", view->devicePixelRatioF(), view->deviceScale(),
                complete ? 1 : 0, shot.width(), view->viewport()->width(), buttonShot.width(),
                button.width());
    return 0;
}
} // namespace

class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void pagesRenderAtTheDevicePixelRatio_data()
    {
        QTest::addColumn<double>("ratio");
        for (double r : {1.0, 1.25, 1.5, 2.0})
            QTest::newRow(qPrintable(QString::number(r))) << r;
    }
    void pagesRenderAtTheDevicePixelRatio()
    {
        QFETCH(double, ratio);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(childVariable), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(ratio));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        const QStringList f = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
        QCOMPARE(f.size(), 7);
        QCOMPARE(f[0].toDouble(), ratio);
        // Zoom 1 is 96/72 device-independent pixels per point, times the ratio.
        QVERIFY(qAbs(f[1].toDouble() - ratio * 96.0 / 72.0) < 1e-6);
        QCOMPARE(f[2].toInt(), 1);
        // What reaches the screen has the device's pixels, not scaled-up logical ones.
        QVERIFY(qAbs(f[3].toInt() - f[4].toInt() * ratio) <= 1.0);
        QVERIFY(qAbs(f[5].toInt() - f[6].toInt() * ratio) <= 1.0);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(childVariable)) {
        QApplication app(argc, argv);
        return reportRendering();
    }
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_high_dpi.moc"
