#pragma once

// A converter that answers the scan worker on 127.0.0.1 from recorded
// frames: each request is handed to Answer, whose result goes back to the
// sender, datagram by datagram. It also sends datagrams of its own (wireless
// telegrams) to a port of 127.0.0.1.

#include "platform/UdpEndpoint.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace mbustest {

class FakeConverter {
public:
    using Bytes = std::vector<uint8_t>;
    // The answers to one request (none: silence).
    std::function<std::vector<Bytes>(const Bytes& Request)> Answer;

    FakeConverter()
    {
        m_Endpoint.SetReceiver([this](const QByteArray& d, const QString&, quint16 port) {
            const Bytes req(d.begin(), d.end());
            std::vector<Bytes> answers;
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                m_Requests.push_back(req);
                if (Answer)
                    answers = Answer(req);
            }
            for (const Bytes& a : answers)
                Send(a, port);
            ++m_Handled;
        });
        m_Endpoint.Bind(0, QStringLiteral("127.0.0.1"));
    }
    ~FakeConverter() { m_Endpoint.Close(); }

    uint16_t Port() const { return m_Endpoint.LocalPort(); }
    void Send(const Bytes& b, uint16_t port)
    {
        m_Endpoint.SendTo(QStringLiteral("127.0.0.1"), port,
                          QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())));
        ++m_Sent;
    }
    int Handled() const { return m_Handled; }
    int Sent() const { return m_Sent; }
    // Until this converter has answered all the worker sent and the worker
    // has taken in all the answers (three seconds at the most).
    template <class Worker>
    void Settle(const Worker& worker) const
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end
               && (Handled() < worker.Sends_Made || worker.Datagrams_Received < Sent()))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    std::vector<Bytes> Requests() const
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Requests;
    }
    static std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const Bytes& b : Requests())
            out.push_back(Text(b));
        return out;
    }

    // A free UDP port of this host, for the worker's wireless binding.
    static uint16_t Free_Port()
    {
        platform::UdpEndpoint e;
        e.Bind(0, QStringLiteral("127.0.0.1"));
        return e.LocalPort();
    }

private:
    platform::UdpEndpoint m_Endpoint;
    mutable std::mutex m_Mutex;
    std::vector<Bytes> m_Requests;
    std::atomic<int> m_Handled{0};
    std::atomic<int> m_Sent{0};
};

} // namespace mbustest
