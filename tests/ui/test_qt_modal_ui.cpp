// The real dialogs: the progress wait (quick work shows no dialog, long work shows
// one that cancels) and the message box.
#include "ui/QtModalUi.h"

#include "ShownText.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestQtModalUi : public QObject {
    Q_OBJECT
private slots:
    void quickWorkFinishesWithoutADialog()
    {
        QtModalUi ui;
        QElapsedTimer clock;
        clock.start();
        bool dialogSeen = false;
        const bool done = ui.waitWithProgress(nullptr, QStringLiteral("请稍候"), [&] {
            dialogSeen = dialogSeen || qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            return clock.elapsed() > 100 ? 100 : 50;
        });
        QVERIFY(done);
        QVERIFY(!dialogSeen);
        QVERIFY(!QApplication::overrideCursor());
    }

    void longWorkCanBeCancelled()
    {
        QtModalUi ui;
        QString shownLabel;
        QElapsedTimer guard; // ends the wait should the dialog never appear
        guard.start();
        // Cancel as soon as the dialog is up, however long the machine took to show it.
        const bool done = ui.waitWithProgress(nullptr, QStringLiteral("正在检索，请稍候……"), [&] {
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && shownLabel.isEmpty()) {
                shownLabel = dialog->labelText();
                QTimer::singleShot(0, dialog, [dialog] {
                    QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
                });
            }
            return guard.elapsed() > 60000 ? 100 : 10;
        });
        QCOMPARE(shownLabel, QStringLiteral("正在检索，请稍候……"));
        QVERIFY(!done);
        QVERIFY(!QApplication::overrideCursor());
    }

    void messageBoxShowsDocumentTextAsWritten()
    {
        // Selected text shown by the window: markup in it must stay text.
        const QString text = QStringLiteral("<img src=\"/nonexistent/x.png\">所选");
        QtModalUi ui;
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
                shown = label->textFormat() == Qt::PlainText ? label->text()
                                                             : shownAsAutoText(label->text());
                box->accept();
            }
        });
        ui.messageBox(nullptr, text, QStringLiteral("Vellumo 显示所选内容"),
                      ModalUi::Icon::Information);
        QCOMPARE(shown, text);
    }

    void longMessageIsCutToFitTheScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("100 000 characters in words") << QString("selected ").repeated(11112).left(100000);
        QTest::newRow("one word") << QString(100000, QLatin1Char('x'));
        QTest::newRow("10 000 lines") << QString("行\n").repeated(10000);
        QTest::newRow("lines and words") << QString("所选的文字 selected text\n").repeated(3000);
    }

    // A selection of a whole document once made a box taller than the screen,
    // its OK button out of reach.
    void longMessageIsCutToFitTheScreen()
    {
        QFETCH(QString, text);
        QtModalUi ui;
        QRect box, screen;
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto *shownBox = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                box = shownBox->frameGeometry();
                screen = shownBox->screen()->availableGeometry();
                shown = shownBox->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
                shownBox->accept();
            }
        });
        ui.messageBox(nullptr, text, QStringLiteral("Vellumo 显示所选内容"), ModalUi::Icon::Information);
        QVERIFY2(box.height() <= screen.height(),
                 qPrintable(QStringLiteral("%1 px high on a screen of %2 px").arg(box.height()).arg(screen.height())));
        QVERIFY(shown.endsWith(QStringLiteral("…")));
        QVERIFY(text.startsWith(shown.chopped(1)));
        QVERIFY(shown.size() > 20); // not cut to nothing
    }

    void longWorkThatFinishesReportsDone()
    {
        QtModalUi ui;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(ui.waitWithProgress(nullptr, QStringLiteral("请稍候"),
                                    [&] { return clock.elapsed() > 800 ? 100 : 40; }));
    }

    void savedNameTypedWithoutExtensionGetsPdf()
    {
        QTemporaryDir dir;
        QtModalUi ui;
        QTimer guard; // never left waiting should the dialog not take the name
        guard.callOnTimeout([] { if (QWidget *w = QApplication::activeModalWidget()) w->close(); });
        guard.start(10000);
        QTimer::singleShot(0, [] {
            QTRY_VERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QLineEdit *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            QTest::keyClicks(name, QStringLiteral("copy"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const QString chosen = ui.saveFileName(nullptr, QStringLiteral("*.pdf|*.pdf"), dir.path());
        QCOMPARE(chosen, QDir(dir.path()).filePath(QStringLiteral("copy.pdf")));
    }
};

QTEST_MAIN(TestQtModalUi)
#include "test_qt_modal_ui.moc"
