#pragma once
// A thread for MuPDF work, with a 64 MiB stack instead of the usual 8 MiB.
// MuPDF recurses without a depth limit into what a page's content nests (forms
// drawing forms, arrays in arrays, functions and colour spaces built on others);
// the shim bounds the document-wide structures, and this stack is the second
// line for the rest: such a page fails in MuPDF's own checks long before the
// stack runs out. Only the pages of the stack a thread touches take memory.
//
// Used like std::thread: join or detach it before it is destroyed.

#include <functional>

#include <pthread.h>

class EngineThread {
public:
    static constexpr size_t kStackBytes = size_t(64) << 20;

    EngineThread() = default;
    // Starts the work; throws std::system_error when no thread can be made.
    explicit EngineThread(std::function<void()> work);
    EngineThread(EngineThread &&other) noexcept;
    EngineThread &operator=(EngineThread &&other) noexcept;
    EngineThread(const EngineThread &) = delete;
    EngineThread &operator=(const EngineThread &) = delete;
    ~EngineThread(); // std::terminate when still joinable, as std::thread does

    bool joinable() const { return m_joinable; }
    void join();
    void detach();

private:
    pthread_t m_thread{};
    bool m_joinable = false;
};
