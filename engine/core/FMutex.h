#pragma once

// A re-entrant lock: the thread that holds it may take it again (it must then
// release it as often as it took it).

#include <mutex>

class FMutex
{
public:
    FMutex() = default;
    virtual ~FMutex() = default;
    FMutex(const FMutex&) = delete;
    FMutex& operator=(const FMutex&) = delete;

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool tryLock() { return m_mutex.try_lock(); }
    // Lets std::lock_guard / std::unique_lock take an FMutex as well.
    bool try_lock() { return m_mutex.try_lock(); }

protected:
    std::recursive_mutex m_mutex;
};

// Holds an FMutex for the lifetime of the guard.
class FMutexLock
{
public:
    explicit FMutexLock(FMutex& mutex) : m_mutex(&mutex) { m_mutex->lock(); }
    ~FMutexLock() { m_mutex->unlock(); }
    FMutexLock(const FMutexLock&) = delete;
    FMutexLock& operator=(const FMutexLock&) = delete;

private:
    FMutex* m_mutex;
};
