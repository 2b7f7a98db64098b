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

LocalHttpServer::LocalHttpServer()
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

LocalHttpServer::~LocalHttpServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_fd);
}

QString LocalHttpServer::Site() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

void LocalHttpServer::Reply(int status, const QByteArray& body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
    m_body = body;
    m_silent = false;
}

std::vector<QByteArray> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void LocalHttpServer::Run()
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

#include "app/USoftOptions.h"
#include "platform/Http.h"
#include "platform/Shell.h"

#include <gtest/gtest.h>

namespace {
// Points the maker's site at the local server for one test.
struct SiteScope {
    explicit SiteScope(const QString& site) : old(Maker_Site()) { Set_Maker_Site(site); }
    ~SiteScope() { Set_Maker_Site(old); }
    QString old;
};
} // namespace

TEST(VersionCheck, ConvVersion)
{
    const std::pair<const char*, int> cases[] = {
        {"1.000", 1000}, {"VER. 1.002", 1002}, {"VER. 0.000", 0}, {"ver.  2.345 ", 2345}, {"VER. 1.0A0", -1},
        {"VER. 2", -1}, {"VER. 2.01", -1}, {"", -1}, {"VER. x.abc", -1}, {"VER. -.123", -1}, {"9.9999", 9999},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(Conv_Version(QString::fromUtf8(text)), value) << text;
}

TEST(VersionCheck, RepliesAgainstLocalServer)
{
    LocalHttpServer server;
    SiteScope site(server.Site());
    const std::pair<const char*, bool> cases[] = {
        {"VER. 1.001", true}, {"  VER. 1.001\r\n", true}, {"VER. 2.000", true}, {"VER. 1.000", false},
        {"VER. 0.999", false}, {"VER. 0.000", false}, {"ver. 0.000", false}, {"", false}, {"VER. 2", false},
        {"VER. 1.00Z", false}, {"1.500", true},
    };
    for (const auto& [body, newer] : cases) {
        server.Reply(200, body);
        EXPECT_EQ(Check_Version(), newer) << body;
    }
    // Every query is one HTTP/1.0 GET of the service's path with the software code.
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), std::size(cases));
    EXPECT_EQ(requests.front(), "GET /home/download/GetversionSW.asp?nomesw=KR52R08 HTTP/1.0");
}

TEST(VersionCheck, FailuresMeanNoNewerVersion)
{
    LocalHttpServer server;
    {
        SiteScope site(server.Site());
        server.Reply(404, "VER. 9.999");
        EXPECT_FALSE(Check_Version()); // an error status gives an empty reply
        server.Reply(500, "VER. 9.999");
        EXPECT_FALSE(Check_Version());
    }
    // Nothing listens on this port once the server is gone.
    const int port = [] {
        LocalHttpServer gone;
        return gone.Port();
    }();
    SiteScope site(QStringLiteral("http://127.0.0.1:%1").arg(port));
    EXPECT_FALSE(Check_Version());
}

TEST(Http, TimeOutAndRefusedSchemes)
{
    LocalHttpServer server;
    server.Silent();
    const HttpReply r = HttpGet(server.Site() + "/x", 300);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_FALSE(r.error.isEmpty());

    EXPECT_FALSE(HttpGet("file:///etc/passwd").ok);
    EXPECT_FALSE(HttpGet("ftp://127.0.0.1/").ok);
}

TEST(Http, OversizedBodyIsRefused)
{
    LocalHttpServer server;
    server.Reply(200, QByteArray(HttpMaxBody + 1, 'x'));
    EXPECT_FALSE(HttpGet(server.Site() + "/big").ok);
    server.Reply(200, "small");
    const HttpReply ok = HttpGet(server.Site() + "/small");
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.body, "small");
    EXPECT_EQ(ok.status, 200);
}

TEST(Shell, OnlyWebAndMailLinksAreOpened)
{
    std::vector<QString> opened;
    ShellOpenHandler old = SetShellOpenHandler([&](const QString& url) {
        opened.push_back(url);
        return true;
    });
    const std::pair<const char*, bool> cases[] = {
        {"http://www.example.com/a", true}, {"HTTPS://example.com", true}, {"mailto:someone@example.com", true},
        {"file:///etc/passwd", false}, {"/usr/bin/xterm", false}, {"javascript:alert(1)", false},
        {"ftp://example.com", false}, {"http://", false}, {"", false}, {"mailto:", false},
    };
    for (const auto& [url, accepted] : cases) EXPECT_EQ(ShellOpenLink(QString::fromUtf8(url)), accepted) << url;
    EXPECT_EQ(opened.size(), 3u);
    SetShellOpenHandler(old);
}

TEST(VersionCheck, MakerPages)
{
    SiteScope site("http://host.test");
    EXPECT_EQ(Maker_Home_Page(), "http://host.test/HOME/default.asp?frompg=KR52R08");
    EXPECT_EQ(Maker_Download_Page(), "http://host.test/Home/download/download.asp#PT52R08");
}
