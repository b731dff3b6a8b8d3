#include "app/QtModalUi.h"

#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressDialog>
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
                    text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtModalUi::openFileName(QWidget *parent, const QString &filter, const QString &presetName)
{
    return QFileDialog::getOpenFileName(parent, QString(), presetName, qtFilter(filter));
}

QString QtModalUi::saveFileName(QWidget *parent, const QString &filter, const QString &presetName)
{
    return QFileDialog::getSaveFileName(parent, QString(), presetName, qtFilter(filter));
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

bool QtModalUi::waitWithProgress(QWidget *parent, const QString &label,
                                 const std::function<int()> &progress)
{
    if (progress() >= 100)
        return true;
    QProgressDialog dialog(label, QStringLiteral("取消"), 0, 100, parent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(500);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const int done = progress();
        dialog.setValue(qMin(done, 99));
        if (done >= 100)
            loop.quit();
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    poll.start(30);
    loop.exec();
    return progress() >= 100 && !dialog.wasCanceled();
}
