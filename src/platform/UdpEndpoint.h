#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

// A UDP endpoint whose datagrams arrive on its own receive thread.
class UdpEndpoint
{
public:
    static constexpr int kReceiveBufferSize = 8192;
    using Receiver = std::function<void(const QByteArray& datagram, const QString& peerAddress, quint16 peerPort)>;

    UdpEndpoint() = default;
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    // Called on the receive thread for each datagram; set it before Bind.
    void SetReceiver(Receiver receiver);

    // Port 0 takes any free port; an empty address means every local address.
    // Binding again closes the old binding first.
    bool Bind(quint16 port = 0, const QString& address = {}, QString* error = nullptr);
    bool IsOpen() const { return fd_ >= 0; }
    quint16 LocalPort() const;

    // Sends from the bound socket (binding to a free port first when needed).
    bool SendTo(const QString& address, quint16 port, const QByteArray& datagram, QString* error = nullptr);
    // Text commands go out as 7-bit text: every character above 127 becomes "?".
    bool SendText(const QString& address, quint16 port, const QString& text, QString* error = nullptr);
    static QByteArray SevenBitText(const QString& text);

    // Stops the receive thread and closes the socket. Must not be called from
    // the receiver callback.
    void Close();

private:
    void ReceiveLoop();

    int fd_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;
    std::mutex receiverLock_;
    Receiver receiver_;
};

} // namespace platform
