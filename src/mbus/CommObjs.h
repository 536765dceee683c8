#pragma once

// Small synchronisation objects of the serial component and the scan worker:
// an event (manual or automatic reset) with a timed wait, its unnamed
// manual-reset form, and a critical section. Built over the standard
// library; Error keeps the last error a wait saw (0: none).

#include <QString>

#include <condition_variable>
#include <cstdint>
#include <mutex>

enum TEventWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class THandleObject {
public:
    virtual ~THandleObject() = default;
    int Error() const { return m_Error; }

protected:
    int m_Error = 0;
};

class TEvent : public THandleObject {
public:
    // The name is kept for the reader; events are not shared between
    // processes here.
    TEvent(bool Manual_Reset, bool Initial_State, const QString& Name = {});
    // Waits at most Timeout ms; a negative Timeout waits without limit.
    TEventWaitResult WaitFor(int64_t Timeout);
    void SetEvent();
    void ResetEvent();
    bool Signaled() const;
    const QString& Name() const { return m_Name; }

private:
    mutable std::mutex m_Mutex;
    std::condition_variable m_Cond;
    bool m_Manual;
    bool m_State;
    QString m_Name;
};

// Unnamed, manual reset, initially not signalled.
class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

class TCriticalSection {
public:
    void Acquire() { m_Mutex.lock(); }
    void Release() { m_Mutex.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }

private:
    std::recursive_mutex m_Mutex;
};
