#include "ui/LongWork.h"

#include <algorithm>

void LongWork::cancel()
{
    if (!isRunning())
        return;
    m_state = State::Cancelled;
    stopWork();
    emit cancelled();
}

void LongWork::whenEnded(QObject *context, std::function<void()> then)
{
    if (m_state == State::Finished || m_state == State::Failed) {
        then();
        return;
    }
    if (!isRunning())
        return;
    // Finished and failed exclude each other: one of the two runs it, once.
    connect(this, &LongWork::finished, context, then, Qt::SingleShotConnection);
    connect(this, &LongWork::failed, context, [then] { then(); }, Qt::SingleShotConnection);
}

void LongWork::setProgress(int percent)
{
    percent = std::clamp(percent, 0, 99);
    if (!isRunning() || percent == m_percent)
        return;
    m_percent = percent;
    emit progress(percent);
}

void LongWork::finish(int answer)
{
    if (!isRunning())
        return;
    m_state = State::Finished;
    m_answer = answer;
    emit finished();
}

void LongWork::fail(const QString &message)
{
    if (!isRunning())
        return;
    m_state = State::Failed;
    m_failure = message;
    emit failed(message);
}
