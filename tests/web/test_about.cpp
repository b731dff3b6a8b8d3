// The About window on its own: its texts fit, its logo, and how it closes.

#include "app/frmPdf.h"
#include "web/VellumoLogo.h"
#include "web/frmAbout.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void textsFitTheirLabels();
    void closesThroughItsButton_data();
    void closesThroughItsButton();
    void logoIsA119By31PictureWithTheName();
};

void TestAbout::textsFitTheirLabels()
{
    QWidget mainWindow;
    frmAbout about(mainWindow, frmPdf::noDocumentCaption(), frmPdf::versionText());
    for (QLabel *label : {about.Label1, about.lblVer, about.Label4, about.Label5, about.Label6,
                          about.Label8, about.Label7}) {
        const QSize needed = label->fontMetrics().size(Qt::TextSingleLine, label->text());
        QVERIFY2(needed.width() <= label->width(), qPrintable(label->objectName()));
    }
    // The wrapped description, in the CJK font installed, ends above the black
    // line under it (1440 twips = 96 pixels) and below the title.
    const QRect description = about.Label3->geometry();
    QVERIFY(about.Label3->heightForWidth(description.width()) <= description.height());
    QVERIFY(description.bottom() < 96);
    QVERIFY(description.top() > about.Label1->geometry().bottom());
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
    frmAbout about(mainWindow, frmPdf::noDocumentCaption(), frmPdf::versionText());
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
    frmAbout about(mainWindow, frmPdf::noDocumentCaption(), frmPdf::versionText());
    QCOMPARE(about.Image1->pixmap().size(), QSize(119, 31));
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
