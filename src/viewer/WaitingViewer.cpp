#include "viewer/WaitingViewer.h"

#include "ui/LongWork.h"
#include "ui/ModalUi.h"

WaitingViewer::WaitingViewer(ModalUi &ui, QWidget *parent) : ViewerControl(parent), m_ui(ui)
{
}

bool WaitingViewer::waitFor(const std::shared_ptr<LongWork> &work, const QString &label)
{
    if (!work)
        return false;
    if (!work->isRunning() || m_ui.waitWithProgress(this, label, *work))
        return true;
    work->cancel();
    return false;
}

int WaitingViewer::answerOf(const std::shared_ptr<LongWork> &work, int otherwise)
{
    return work && work->state() == LongWork::State::Finished ? work->answer() : otherwise;
}

int WaitingViewer::OpenDocument(const QString &path, const QString &userPassword,
                                const QString &ownerPassword)
{
    const std::shared_ptr<LongWork> open = beginOpen(path, userPassword, ownerPassword);
    if (!open)
        return CannotOpen;
    waitFor(open, QStringLiteral("正在打开文件，请稍候……"));
    return answerOf(open, Cancelled);
}

int WaitingViewer::FindText(const QString &text)
{
    return waitForSearch(beginFind(text));
}

void WaitingViewer::FindNext()
{
    waitForSearch(beginFindNext());
}

int WaitingViewer::SearchAll(const QString &text)
{
    return waitForSearch(beginSearchAll(text));
}

int WaitingViewer::waitForSearch(const std::shared_ptr<LongWork> &search)
{
    if (!search)
        return 0;
    waitFor(search, QStringLiteral("正在检索，请稍候……"));
    return answerOf(search, SearchCancelled);
}

void WaitingViewer::PrintDocument()
{
    const std::shared_ptr<LongWork> print = beginPrint();
    if (waitFor(print, QStringLiteral("正在打印，请稍候……"))
        && print->state() == LongWork::State::Failed)
        m_ui.messageBox(this, print->failure(), QStringLiteral("提示"), ModalUi::Icon::Error);
}

int WaitingViewer::SaveCopy(const QString &target)
{
    const std::shared_ptr<LongWork> save = beginSaveCopy(target);
    if (!save)
        return SaveFailed;
    waitFor(save, QStringLiteral("正在保存文件，请稍候……"));
    return answerOf(save, SaveCancelled);
}
