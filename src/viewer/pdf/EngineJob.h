#pragma once
// A job whose work is one EngineTask: the task's progress and result become the
// job's, and cancelling the job cancels the task. GUI thread.

#include "EngineTask.h"

#include "ui/LongWork.h"

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

template <typename T> class EngineJob : public LongWork {
public:
    // answerOf turns the task's result into the job's answer.
    EngineJob(EngineTask<T> task, std::function<int(const T &)> answerOf)
        : m_task(std::move(task))
    {
        m_task.deliverTo(
            this,
            [this, answerOf = std::move(answerOf)](T result) {
                m_result = std::move(result);
                finish(answerOf(*m_result));
            },
            [this](int percent) { setProgress(percent); });
        finishIfQuick(std::chrono::milliseconds(0)); // a result already at hand
    }
    ~EngineJob() override { m_task.cancel(); }

    // Once finished; taken by the caller.
    std::optional<T> &result() { return m_result; }
    // A result that comes within `limit` finishes the job before this returns;
    // the GUI thread stands still meanwhile, so only for waits too short to notice.
    void finishIfQuick(std::chrono::milliseconds limit) { m_task.waitBriefly(limit); }

private:
    void stopWork() override { m_task.cancel(); }

    EngineTask<T> m_task;
    std::optional<T> m_result;
};
