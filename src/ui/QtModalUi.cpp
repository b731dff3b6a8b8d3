#include "ui/QtModalUi.h"

#include "ui/LongWork.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QScreen>
#include <QTimer>

namespace {
// "*.pdf|*.pdf" (description|pattern pairs) in Qt's "description (pattern)" form.
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    return entries.join(QStringLiteral(";;"));
}

// The start of text that a message box shows within a screen of the given size,
// ended with "…" when cut. The box grows with its text, so a long one (a whole
// document's selection) would put its OK button below the screen's edge.
QString fittingTheScreen(const QString &text, const QFontMetrics &metrics, const QSize &screen)
{
    // More characters than any screen shows; the rest is not even measured.
    constexpr qsizetype kMeasuredCharacters = 16384;
    // The box wraps its text in a column at least about this wide; counting the
    // lines in a narrower one errs on the side of a box that fits.
    const int column = qMax(100, qMin(screen.width() / 2, 500) - 200);
    // What is left beside the title bar, the margins and the button row.
    int rowsLeft = qMax(3, (screen.height() - 250) / metrics.lineSpacing());
    const QStringList lines = text.left(kMeasuredCharacters).split(QLatin1Char('\n'));
    QString shown;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int rows = qMax(1, (metrics.horizontalAdvance(lines[i]) + column - 1) / column);
        if (rows > rowsLeft)
            return shown + metrics.elidedText(lines[i], Qt::ElideRight, rowsLeft * column);
        rowsLeft -= rows;
        shown += lines[i];
        if (i + 1 < lines.size())
            shown += rowsLeft > 0 ? QStringLiteral("\n") : QStringLiteral("…");
        if (rowsLeft == 0)
            return shown;
    }
    return text.size() > kMeasuredCharacters ? shown + QStringLiteral("…") : shown;
}

// "pdf" from "*.pdf|*.pdf": the extension of the first entry's first pattern.
QString defaultSuffix(const QString &filter)
{
    const QString pattern = filter.section(QLatin1Char('|'), 1, 1).section(QLatin1Char(';'), 0, 0);
    return pattern.startsWith(QStringLiteral("*.")) ? pattern.mid(2) : QString();
}
} // namespace

QString QtModalUi::inputBox(QWidget *parent, const QString &prompt, const QString &title,
                            const QString &defaultText)
{
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    if (box.exec() != QDialog::Accepted)
        return QString();
    return box.textValue();
}

void QtModalUi::messageBox(QWidget *parent, const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Information, title,
                    QString(), QMessageBox::Ok, parent);
    box.setText(fittingTheScreen(text, box.fontMetrics(), box.screen()->availableSize()));
    // The text may come from a document; guessed as markup, an <img> in it is read from disk.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString QtModalUi::openFileName(QWidget *parent, const QString &filter, const QString &start)
{
    return QFileDialog::getOpenFileName(parent, QString(), start, qtFilter(filter));
}

QString QtModalUi::saveFileName(QWidget *parent, const QString &filter, const QString &start)
{
    QFileDialog dialog(parent, QString(), start, qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void QtModalUi::popupMenu(QMenu *menu)
{
    menu->exec(QCursor::pos());
}

void QtModalUi::runModal(QDialog *dialog)
{
    dialog->exec();
}

bool QtModalUi::printDialog(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtModalUi::waitWithProgress(QWidget *parent, const QString &label, LongWork &work)
{
    if (!work.isRunning())
        return true;
    const QPointer<LongWork> watched(&work);
    const auto over = [&] { return !watched || !watched->isRunning(); };
    // Ends a loop when the work ends, however it ends (or goes).
    const auto quitOnEnd = [&work](QEventLoop &loop) {
        QObject::connect(&work, &LongWork::finished, &loop, &QEventLoop::quit);
        QObject::connect(&work, &LongWork::failed, &loop, &QEventLoop::quit);
        QObject::connect(&work, &LongWork::cancelled, &loop, &QEventLoop::quit);
        QObject::connect(&work, &QObject::destroyed, &loop, &QEventLoop::quit);
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);

    // A short wait shows nothing; meanwhile the window takes no input, so no
    // command can start inside the one that waits.
    {
        QEventLoop quiet;
        quitOnEnd(quiet);
        QTimer::singleShot(500, &quiet, &QEventLoop::quit);
        quiet.exec(QEventLoop::ExcludeUserInputEvents);
    }
    bool cancelled = false;
    if (!over()) {
        // Longer work gets a modal progress dialog that can cancel it.
        QProgressDialog dialog(label, QStringLiteral("取消"), 0, 100, parent);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setValue(qMin(work.percent(), 99));
        QEventLoop loop;
        quitOnEnd(loop);
        QObject::connect(&work, &LongWork::progress, &dialog,
                         [&dialog](int percent) { dialog.setValue(qMin(percent, 99)); });
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        dialog.show();
        loop.exec();
        cancelled = dialog.wasCanceled() && !over();
    }
    QApplication::restoreOverrideCursor();
    return !cancelled;
}
