// The real dialogs: the progress wait (quick work shows no dialog, long work shows
// one that cancels, work that ends otherwise ends the wait) and the message box.
#include "ui/QtModalUi.h"

#include "ui/LongWork.h"

#include "ShownText.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// Work that finishes after `ms` (never when negative), at `percent` meanwhile.
class TimedWork : public LongWork {
public:
    TimedWork(int ms, int percent)
    {
        setProgress(percent);
        if (ms >= 0)
            QTimer::singleShot(ms, this, [this] { finish(7); });
    }
    using LongWork::finish;
};

// Runs `look` every few milliseconds while `work` runs.
void watchWhileRunning(LongWork &work, const std::function<void()> &look)
{
    auto *timer = new QTimer(&work);
    QObject::connect(timer, &QTimer::timeout, timer, look);
    timer->start(5);
}
} // namespace

class TestQtModalUi : public QObject {
    Q_OBJECT
private slots:
    void quickWorkFinishesWithoutADialog()
    {
        QtModalUi ui;
        TimedWork work(100, 50);
        bool dialogSeen = false;
        watchWhileRunning(work, [&] {
            dialogSeen = dialogSeen || qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        });
        QVERIFY(ui.waitWithProgress(nullptr, QStringLiteral("请稍候"), work));
        QCOMPARE(work.state(), LongWork::State::Finished);
        QVERIFY(!dialogSeen);
        QVERIFY(!QApplication::overrideCursor());
    }

    void longWorkCanBeCancelled()
    {
        QtModalUi ui;
        QString shownLabel;
        TimedWork work(60000, 10); // ends the wait should the dialog never appear
        // Cancel as soon as the dialog is up, however long the machine took to show it.
        watchWhileRunning(work, [&] {
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && shownLabel.isEmpty()) {
                shownLabel = dialog->labelText();
                QTimer::singleShot(0, dialog, [dialog] {
                    QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
                });
            }
        });
        const bool done = ui.waitWithProgress(nullptr, QStringLiteral("正在检索，请稍候……"), work);
        QCOMPARE(shownLabel, QStringLiteral("正在检索，请稍候……"));
        QVERIFY(!done);
        QVERIFY(work.isRunning()); // the caller cancels it
        QVERIFY(!QApplication::overrideCursor());
    }

    // The work may end otherwise than by finishing, or go, while it is waited
    // for: the wait ends with it. A job cancelled after it finished keeps its
    // answer and says nothing more.
    void workThatEndsOrGoesEndsTheWait()
    {
        QtModalUi ui;
        TimedWork cancelled(-1, 10);
        QTimer::singleShot(700, &cancelled, &LongWork::cancel);
        QVERIFY(ui.waitWithProgress(nullptr, QStringLiteral("请稍候"), cancelled));
        QCOMPARE(cancelled.state(), LongWork::State::Cancelled);

        auto *going = new TimedWork(-1, 10);
        QTimer::singleShot(100, going, &QObject::deleteLater);
        QVERIFY(ui.waitWithProgress(nullptr, QStringLiteral("请稍候"), *going));
        QVERIFY(!QApplication::overrideCursor());

        TimedWork finished(-1, 10);
        finished.finish(3);
        QSignalSpy told(&finished, &LongWork::cancelled);
        finished.cancel();
        QCOMPARE(finished.state(), LongWork::State::Finished);
        QCOMPARE(finished.answer(), 3);
        QCOMPARE(told.size(), 0);
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
        TimedWork work(800, 40);
        QVERIFY(ui.waitWithProgress(nullptr, QStringLiteral("请稍候"), work));
        QCOMPARE(work.answer(), 7);
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
