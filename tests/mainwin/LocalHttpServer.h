#pragma once
// A tiny HTTP server on 127.0.0.1 for the version-check tests: it answers
// every request with the reply the test sets and records the request lines.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // "http://127.0.0.1:<port>"
    QString Site() const;
    int Port() const { return m_port; }

    // The next replies: a status and a body. With `silent` the server accepts
    // the connection and never answers.
    void Reply(int status, const QByteArray& body);
    void Silent() { m_silent = true; }

    // The first line of each request received ("GET /path?query HTTP/1.0").
    std::vector<QByteArray> Requests() const;

private:
    void Run();
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_silent{false};
    mutable std::mutex m_mutex;
    int m_status = 200;
    QByteArray m_body;
    std::vector<QByteArray> m_requests;
    std::thread m_thread;
};


#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

inline LocalHttpServer::LocalHttpServer()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(m_fd, 8);
    socklen_t len = sizeof a;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { Run(); });
}

inline LocalHttpServer::~LocalHttpServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_fd);
}

inline QString LocalHttpServer::Site() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

inline void LocalHttpServer::Reply(int status, const QByteArray& body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
    m_body = body;
    m_silent = false;
}

inline std::vector<QByteArray> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

inline void LocalHttpServer::Run()
{
    std::vector<int> held; // silent connections stay open until the end
    while (!m_stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int c = ::accept(m_fd, nullptr, nullptr);
        if (c < 0) continue;
        QByteArray request;
        char buf[1024];
        while (!request.contains("\r\n\r\n") && !m_stop) {
            pollfd q{c, POLLIN, 0};
            if (::poll(&q, 1, 50) <= 0) continue;
            const ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0) break;
            request.append(buf, n);
        }
        int status;
        QByteArray body;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request.left(request.indexOf("\r\n")));
            status = m_status;
            body = m_body;
        }
        if (m_silent) {
            held.push_back(c);
            continue;
        }
        const QByteArray head = "HTTP/1.0 " + QByteArray::number(status) + " X\r\nContent-Type: text/plain\r\n"
                                "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
        const QByteArray all = head + body;
        qsizetype off = 0;
        while (off < all.size()) {
            const ssize_t n = ::write(c, all.constData() + off, size_t(all.size() - off));
            if (n <= 0) break;
            off += n;
        }
        ::shutdown(c, SHUT_WR);
        ::close(c);
    }
    for (int c : held) ::close(c);
}

#include "app/UComon.h"
#include "app/USoftOptions.h"
#include "common/TestSupport.h"
#include "controls/PbButton.h"
#include "platform/Files.h"
#include "platform/Http.h"
#include "platform/Shell.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <gtest/gtest.h>

