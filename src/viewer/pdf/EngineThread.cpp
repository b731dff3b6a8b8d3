#include "EngineThread.h"

#include <exception>
#include <memory>
#include <system_error>
#include <utility>

namespace {

void *runWork(void *work)
{
    const std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()> *>(work));
    (*owned)();
    return nullptr;
}

// With the big stack; should the system refuse that much address space, with
// its default one rather than not at all.
int startThread(pthread_t *thread, std::function<void()> *work)
{
    pthread_attr_t attr;
    int error = pthread_attr_init(&attr);
    if (error == 0) {
        error = pthread_attr_setstacksize(&attr, EngineThread::kStackBytes);
        if (error == 0)
            error = pthread_create(thread, &attr, runWork, work);
        pthread_attr_destroy(&attr);
    }
    if (error != 0)
        error = pthread_create(thread, nullptr, runWork, work);
    return error;
}

} // namespace

EngineThread::EngineThread(std::function<void()> work)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    if (const int error = startThread(&m_thread, owned.get()))
        throw std::system_error(error, std::generic_category(), "cannot start a thread");
    owned.release(); // the thread frees it
    m_joinable = true;
}

EngineThread::EngineThread(EngineThread &&other) noexcept
    : m_thread(other.m_thread), m_joinable(std::exchange(other.m_joinable, false))
{
}

EngineThread &EngineThread::operator=(EngineThread &&other) noexcept
{
    if (m_joinable)
        std::terminate();
    m_thread = other.m_thread;
    m_joinable = std::exchange(other.m_joinable, false);
    return *this;
}

EngineThread::~EngineThread()
{
    if (m_joinable)
        std::terminate();
}

void EngineThread::join()
{
    pthread_join(m_thread, nullptr);
    m_joinable = false;
}

void EngineThread::detach()
{
    pthread_detach(m_thread);
    m_joinable = false;
}
