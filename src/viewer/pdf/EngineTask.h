#pragma once
// Work run on an EngineThread whose result is handed to the GUI thread by a
// queued call, so the GUI thread never polls for it and stands still for it
// only when asked to, for a moment (waitBriefly). The thread is detached; a
// task cancelled or destroyed before its result came tells the work to stop and
// drops what it still makes on its thread.
//
// Threads: the task is used on one thread (the GUI thread, or the program's
// first thread before the GUI exists); the work sees only its Control.

#include "EngineThread.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

template <typename T> class EngineTask {
    struct Shared;

public:
    // What the work sees of its task.
    class Control {
    public:
        explicit Control(Shared &shared) : m_shared(shared) {}
        // Turns true once the task is cancelled: the work may stop early.
        const std::atomic<bool> &cancelled() const { return m_shared.cancelled; }
        // 0…99; reaches the task's progress function when it changed.
        void progress(int percent) const
        {
            if (m_shared.reported.exchange(percent) == percent)
                return;
            std::lock_guard<std::mutex> lock(m_shared.mutex);
            if (m_shared.receiver)
                QMetaObject::invokeMethod(
                    m_shared.receiver,
                    [shared = m_shared.self.lock(), percent] {
                        if (shared && shared->live() && shared->onProgress)
                            shared->onProgress(percent);
                    },
                    Qt::QueuedConnection);
        }

    private:
        Shared &m_shared;
    };
    using Work = std::function<T(const Control &)>;
    // Runs on the thread after the result is handed over, with a copy of it,
    // unless the task was cancelled first.
    using Afterwards = std::function<void(const T &)>;

    EngineTask() = default;
    // Starts the work; throws std::system_error when no thread can be made.
    explicit EngineTask(Work work, Afterwards afterwards = {}) : m_shared(std::make_shared<Shared>())
    {
        m_shared->self = m_shared;
        EngineThread([shared = m_shared, work = std::move(work), afterwards = std::move(afterwards)] {
            T result = work(Control(*shared));
            std::optional<T> kept;
            if (afterwards)
                kept = result;
            shared->arrive(std::move(result));
            if (kept && !shared->cancelled)
                afterwards(*kept);
        }).detach();
    }
    // A task whose result is at hand, with no thread: for work that could not start.
    static EngineTask ready(T result)
    {
        EngineTask task;
        task.m_shared = std::make_shared<Shared>();
        task.m_shared->self = task.m_shared;
        task.m_shared->result = std::move(result);
        return task;
    }
    EngineTask(EngineTask &&) noexcept = default;
    EngineTask &operator=(EngineTask &&other) noexcept
    {
        cancel();
        m_shared = std::move(other.m_shared);
        return *this;
    }
    EngineTask(const EngineTask &) = delete;
    EngineTask &operator=(const EngineTask &) = delete;
    ~EngineTask() { cancel(); }

    bool isStarted() const { return bool(m_shared); }

    // From now on the result goes to done and progress reports to progress,
    // each run on receiver's thread; a result already there is sent at once.
    // The task must be cancelled or destroyed before receiver is.
    void deliverTo(QObject *receiver, std::function<void(T)> done,
                   std::function<void(int)> progress = {})
    {
        m_shared->done = std::move(done);
        m_shared->onProgress = std::move(progress);
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->receiver = receiver;
        if (m_shared->result)
            m_shared->post();
    }

    // Waits up to `limit` for the result; when it comes in time, done runs here
    // and now (true, as when it ran already). The calling thread stands still
    // meanwhile: only for waits too short to notice.
    bool waitBriefly(std::chrono::milliseconds limit)
    {
        {
            std::unique_lock<std::mutex> lock(m_shared->mutex);
            if (m_shared->delivered)
                return true;
            if (!m_shared->arrived.wait_for(lock, limit, [&] { return m_shared->result.has_value(); }))
                return false;
        }
        Shared::deliver(m_shared);
        return true;
    }

    // Tells the work to stop and delivers nothing more. Nothing happens once the
    // result was delivered, so what the work does afterwards goes on.
    void cancel()
    {
        if (!m_shared)
            return;
        std::optional<T> dropped; // let go outside the lock
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            if (m_shared->delivered)
                return;
            m_shared->cancelled = true;
            m_shared->receiver = nullptr;
            dropped = std::move(m_shared->result);
            m_shared->result.reset();
        }
        m_shared->done = nullptr;
        m_shared->onProgress = nullptr;
    }

private:
    struct Shared {
        std::weak_ptr<Shared> self; // for the queued calls
        std::atomic<bool> cancelled{false};
        std::atomic<int> reported{-1};
        std::mutex mutex;
        std::condition_variable arrived;
        QObject *receiver = nullptr; // guarded by mutex; null while nobody takes the result
        std::optional<T> result;     // guarded by mutex; until delivered
        bool delivered = false;      // guarded by mutex
        // On the task's thread only.
        std::function<void(T)> done;
        std::function<void(int)> onProgress;

        bool live()
        {
            std::lock_guard<std::mutex> lock(mutex);
            return receiver && !delivered;
        }
        // On the work's thread.
        void arrive(T value)
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (cancelled)
                return; // dropped here, on its own thread
            result = std::move(value);
            arrived.notify_all();
            if (receiver)
                post();
        }
        // Under the mutex, with a receiver.
        void post()
        {
            QMetaObject::invokeMethod(
                receiver, [shared = self.lock()] { deliver(shared); }, Qt::QueuedConnection);
        }
        // On the task's thread.
        static void deliver(std::shared_ptr<Shared> shared) // held: done may drop the task
        {
            std::optional<T> value;
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                if (!shared->result || shared->delivered)
                    return;
                value = std::move(shared->result);
                shared->result.reset();
                shared->delivered = true;
                shared->receiver = nullptr;
            }
            const std::function<void(T)> done = std::exchange(shared->done, nullptr);
            shared->onProgress = nullptr;
            if (done)
                done(std::move(*value));
        }
    };

    std::shared_ptr<Shared> m_shared;
};
