#include "mbus/CommObjs.h"

#include <chrono>

TEvent::TEvent(bool Manual_Reset, bool Initial_State, const QString& Name)
    : m_Manual(Manual_Reset), m_State(Initial_State), m_Name(Name)
{
}

TEventWaitResult TEvent::WaitFor(int64_t Timeout)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (Timeout < 0)
        m_Cond.wait(lock, [this] { return m_State; });
    else if (!m_Cond.wait_for(lock, std::chrono::milliseconds(Timeout), [this] { return m_State; }))
        return wrTimeout;
    if (!m_Manual)
        m_State = false;
    return wrSignaled;
}

void TEvent::SetEvent()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_State = true;
    }
    m_Cond.notify_all();
}

void TEvent::ResetEvent()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_State = false;
}

bool TEvent::Signaled() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_State;
}
