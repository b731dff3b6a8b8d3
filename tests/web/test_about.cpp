// The About window on its own: its fixed texts, its logo, and how it closes.

#include "web/VellumoLogo.h"
#include "web/frmAbout.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void loadSetsCaptionVersionAndTheMainWindowIcon();
    void closesThroughItsButton_data();
    void closesThroughItsButton();
    void logoIsA119By31PictureWithTheName();
};

void TestAbout::loadSetsCaptionVersionAndTheMainWindowIcon()
{
    QWidget mainWindow;
    QPixmap iconPicture(16, 16);
    iconPicture.fill(Qt::darkGreen);
    mainWindow.setWindowIcon(QIcon(iconPicture));

    frmAbout about(mainWindow);
    QCOMPARE(about.windowTitle(), QStringLiteral("关于Vellumo V3.1"));
    QCOMPARE(about.lblVer->text(), QStringLiteral("V3.1"));
    QCOMPARE(about.windowIcon().cacheKey(), mainWindow.windowIcon().cacheKey());
    QCOMPARE(about.size(), QSize(338, 298)); // 5070 x 4470 twips
    QCOMPARE(about.dcButton1->text(), QStringLiteral("确定(&O)"));
    QCOMPARE(about.Label3->text(),
             QStringLiteral("PDF格式是互联网上常用的文档格式之一，本软件是一款专业的PDF阅读软件,"
                            "本软件为免费软件!"));
    QVERIFY(about.parent() == nullptr);
}

void TestAbout::closesThroughItsButton_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("click") << false;
    QTest::newRow("Alt+O") << true;
}

void TestAbout::closesThroughItsButton()
{
    QFETCH(bool, byKeyboard);
    QWidget mainWindow;
    frmAbout about(mainWindow);
    QTimer::singleShot(0, &about, [&about, byKeyboard] {
        QVERIFY(QTest::qWaitForWindowActive(&about));
        if (byKeyboard)
            QTest::keyClick(&about, Qt::Key_O, Qt::AltModifier);
        else
            QTest::mouseClick(about.dcButton1, Qt::LeftButton);
    });
    QTimer::singleShot(5000, &about, [&about] { about.done(-1); }); // never left waiting
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
}

void TestAbout::logoIsA119By31PictureWithTheName()
{
    const QImage logo = vellumoLogo();
    QCOMPARE(logo.size(), QSize(119, 31));
    QCOMPARE(logo.depth(), 24);
    int inked = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            inked += logo.pixelColor(x, y) != QColor(Qt::white);
    QVERIFY(inked > logo.width() * logo.height() / 10);

    QWidget mainWindow;
    frmAbout about(mainWindow);
    QCOMPARE(about.Image1->pixmap().size(), QSize(119, 31));
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
