// GoogleTest's port layer names std::mutex and std::condition_variable,
// which mingw-w64's win32 thread model lacks. The unit tests run on one
// thread; these stand-ins on the system's own locks let GoogleTest build.
#pragma once

#include <mutex>
#include <windows.h>

namespace std {

class mutex {
public:
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class condition_variable {
public:
    void notify_all() { WakeAllConditionVariable(&cv_); }
    template <class Predicate>
    void wait(unique_lock<mutex>& lock, Predicate ready)
    {
        while (!ready())
            SleepConditionVariableSRW(&cv_, lock.mutex()->native(), INFINITE, 0);
    }

private:
    CONDITION_VARIABLE cv_ = CONDITION_VARIABLE_INIT;
};

}  // namespace std
