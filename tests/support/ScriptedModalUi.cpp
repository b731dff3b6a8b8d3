#include "ScriptedModalUi.h"

#include "ui/LongWork.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QPointer>
#include <QTest>

namespace {
template <typename T> T take(std::deque<T> &queue, const char *what)
{
    if (queue.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted %1").arg(QLatin1String(what))),
                     __FILE__, __LINE__);
        return T();
    }
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
} // namespace

QString ScriptedModalUi::inputBox(QWidget *, const QString &prompt, const QString &title,
                                  const QString &defaultText)
{
    prompts.append({prompt, title, defaultText});
    return take(inputAnswers, "input box");
}

void ScriptedModalUi::messageBox(QWidget *, const QString &text, const QString &title, Icon icon)
{
    messages.append({text, title, icon});
}

QString ScriptedModalUi::openFileName(QWidget *, const QString &filter, const QString &presetName)
{
    fileRequests.append({false, filter, presetName});
    return take(fileAnswers, "open dialog");
}

QString ScriptedModalUi::saveFileName(QWidget *, const QString &filter, const QString &presetName)
{
    fileRequests.append({true, filter, presetName});
    return take(fileAnswers, "save dialog");
}

void ScriptedModalUi::popupMenu(QMenu *menu)
{
    poppedMenus.append(menu);
    if (!menuActions.empty())
        take(menuActions, "menu")(menu);
}

void ScriptedModalUi::runModal(QDialog *dialog)
{
    dialogClasses.append(QString::fromLatin1(dialog->metaObject()->className()));
    dialog->show(); // on screen while it is answered, as a modal window would be
    auto action = take(dialogActions, "modal window");
    if (action)
        action(dialog);
}

bool ScriptedModalUi::printDialog(QWidget *, QPrinter *)
{
    ++printDialogs;
    return take(printAnswers, "print dialog");
}

bool ScriptedModalUi::waitWithProgress(QWidget *, const QString &label, LongWork &work)
{
    progressLabels.append(label);
    if (cancelProgress)
        return false;
    const QPointer<LongWork> watched(&work);
    QDeadlineTimer deadline(progressWaitMs);
    while (watched && watched->isRunning() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return !watched || !watched->isRunning();
}
