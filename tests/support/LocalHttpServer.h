#pragma once

// A web server on 127.0.0.1 for the tests: it answers every request with the
// same bytes, or, when silent, takes the request and never answers.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer
{
public:
    explicit LocalHttpServer(std::string response, bool silent = false)
        : response_(std::move(response)), silent_(silent)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 4);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LocalHttpServer()
    {
        done_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        thread_.join();
        ::close(fd_);
    }
    int Port() const { return port_; }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> g(lock_);
        return requests_;
    }

private:
    void Serve()
    {
        while (!done_) {
            const int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0)
                return;
            std::string req;
            char buf[1024];
            while (req.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                req.append(buf, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> g(lock_);
                requests_.push_back(req);
            }
            if (silent_)
                while (!done_)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            else
                ::send(c, response_.data(), response_.size(), MSG_NOSIGNAL);
            ::close(c);
        }
    }

    std::string response_;
    bool silent_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> done_{false};
    std::mutex lock_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

inline std::string Http_Reply(const std::string& body, const char* status = "200 OK")
{
    return std::string("HTTP/1.0 ") + status + "\r\nContent-Type: text/html\r\n\r\n" + body;
}
