#pragma once
// Work that takes long, reported as it goes. Whoever starts it gets the job at
// once and may wait for it (the modal seam's progress dialog) or go on; the job
// says how far it is and how it ended. It ends once: finished (with its
// answer), failed (with a message for the user) or cancelled.
//
// Threads: a job belongs to the GUI thread; work done elsewhere reaches it by
// queued calls, so its signals always come on the GUI thread.

#include <QObject>
#include <QString>

#include <functional>

class LongWork : public QObject {
    Q_OBJECT
public:
    enum class State { Running, Finished, Failed, Cancelled };

    State state() const { return m_state; }
    bool isRunning() const { return m_state == State::Running; }
    int percent() const { return m_percent; } // 0…99 while running
    // Once finished: what the work answers, a status or a count as the call
    // that started it says.
    int answer() const { return m_answer; }
    // Once failed: the message for the user.
    const QString &failure() const { return m_failure; }

    // Stops the work and ends the job; what the work still delivers is dropped.
    // Nothing happens once the job has ended: a job cancelled after it finished
    // keeps its answer.
    void cancel();
    // Runs `then` when the job finishes or fails, at once when it already has;
    // never after a cancel, nor once context is gone.
    void whenEnded(QObject *context, std::function<void()> then);

signals:
    void progress(int percent);
    void finished();
    void failed(const QString &message);
    void cancelled();

protected:
    explicit LongWork(QObject *parent = nullptr) : QObject(parent) {}
    // For the work's side; each does nothing once the job has ended.
    void setProgress(int percent);
    void finish(int answer = 0);
    void fail(const QString &message);
    // Called once, by cancel() while the job runs: tell the work to stop.
    virtual void stopWork() {}

private:
    State m_state = State::Running;
    int m_percent = 0;
    int m_answer = 0;
    QString m_failure;
};
