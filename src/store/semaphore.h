#pragma once

#include <condition_variable>
#include <mutex>

// A counting semaphore on a mutex and a condition variable. The standard one
// of the MinGW-w64 library the Windows build uses can miss a wake-up and
// leave a search waiting for ever (seen once in some twenty-five runs).
class Semaphore {
public:
    explicit Semaphore(int count) : m_count(count) {}

    void acquire() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_count > 0; });
        --m_count;
    }

    void release() {
        {
            std::lock_guard lock(m_mutex);
            ++m_count;
        }
        m_changed.notify_one();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_count;
};
