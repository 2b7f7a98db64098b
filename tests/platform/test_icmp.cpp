// The ICMP echo client against loopback. Everything here is sent to
// 127.0.0.1 only. The time-out, the failure and the reply-filter cases run in
// a child process inside a network namespace of its own, where loopback can be
// switched off or told to ignore echo requests; they are skipped where the
// system refuses namespaces.
#include "platform/Icmp.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uint32_t kLoopback = 0x7F000001; // 127.0.0.1

struct PrivateNet {
    bool loopbackUp = true;
    bool ignoreEcho = false;
    bool pingSockets = false;   // allow ICMP datagram sockets to our group
    bool dropCapabilities = false;
};

bool WriteProcFile(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return ok;
}

// Moves the calling (single-threaded, forked) process into a network
// namespace of its own and sets it up. Returns why it could not, or "".
std::string EnterPrivateNet(const PrivateNet& net)
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNET) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
            return std::string("network namespaces refused: ") + std::strerror(errno);
        if (!WriteProcFile("/proc/self/setgroups", "deny")
            || !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1")
            || !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return "user namespace mapping refused";
    }
    if (net.loopbackUp) {
        const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq ifr{};
        std::strcpy(ifr.ifr_name, "lo");
        const bool ok = s >= 0 && ::ioctl(s, SIOCGIFFLAGS, &ifr) == 0
                        && (ifr.ifr_flags |= IFF_UP, ::ioctl(s, SIOCSIFFLAGS, &ifr) == 0);
        if (s >= 0) ::close(s);
        if (!ok) return "loopback cannot be brought up in the namespace";
    }
    if (net.ignoreEcho && !WriteProcFile("/proc/sys/net/ipv4/icmp_echo_ignore_all", "1"))
        return "icmp_echo_ignore_all cannot be set in the namespace";
    if (net.pingSockets) {
        const std::string g = std::to_string(::getgid());
        if (!WriteProcFile("/proc/sys/net/ipv4/ping_group_range", g + " " + g))
            return "ping_group_range cannot be set in the namespace";
    }
    if (net.dropCapabilities) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capset, &header, data) != 0) return "capabilities cannot be dropped";
    }
    return {};
}

// Runs `body` in a child process inside a private network namespace. The
// body returns "" when it passed, else what went wrong. The test fails with
// that text, or is skipped when the namespace cannot be had.
void RunInPrivateNet(const PrivateNet& net, const std::function<std::string()>& body)
{
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(fds[0]);
        std::string message;
        const std::string why = EnterPrivateNet(net);
        if (!why.empty()) {
            message = "S" + why;
        } else {
            try {
                const std::string failure = body();
                message = (failure.empty() ? "P" : "F") + failure;
            } catch (const std::exception& e) {
                message = std::string("Funexpected exception: ") + e.what();
            }
        }
        (void)!::write(fds[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string message;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        message.append(buf, size_t(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_FALSE(message.empty()) << "the child process ended without a result";
    if (message[0] == 'S') GTEST_SKIP() << message.substr(1);
    EXPECT_EQ(message[0], 'P') << message.substr(1);
}

#define CHILD_CHECK(cond, what)                                                                                        \
    do {                                                                                                               \
        if (!(cond)) return std::string(what) + " [" #cond "]";                                                      \
    } while (0)

// Sends a hand-made IPv4/ICMP packet to 127.0.0.1 with the given source
// address, through a raw socket that writes its own IP header.
void Inject(uint32_t source, const QByteArray& icmp)
{
    QByteArray packet(20, '\0');
    packet[0] = char(0x45);
    packet[8] = char(64);
    packet[9] = char(1);
    const uint32_t src = htonl(source);
    const uint32_t dst = htonl(kLoopback);
    std::memcpy(packet.data() + 12, &src, 4);
    std::memcpy(packet.data() + 16, &dst, 4);
    packet += icmp;
    const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_RAW);
    if (fd < 0) throw std::runtime_error("no raw socket to inject with");
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = dst;
    const ssize_t sent = ::sendto(fd, packet.constData(), size_t(packet.size()), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(fd);
    if (sent != packet.size()) throw std::runtime_error("injecting a packet failed");
}

QByteArray IcmpMessage(uint8_t type, uint8_t code, uint16_t id, uint16_t seq, const QByteArray& data)
{
    QByteArray m(8, '\0');
    m[0] = char(type);
    m[1] = char(code);
    m[4] = char(id >> 8);
    m[5] = char(id & 0xFF);
    m[6] = char(seq >> 8);
    m[7] = char(seq & 0xFF);
    m += data;
    const uint16_t sum = InternetChecksum(reinterpret_cast<const uint8_t*>(m.constData()), size_t(m.size()));
    m[2] = char(sum >> 8);
    m[3] = char(sum & 0xFF);
    return m;
}

const char* KindName(IcmpSocketKind k)
{
    return k == IcmpSocketKind::Raw ? "raw" : "datagram";
}

} // namespace

TEST(InternetChecksum, KnownBlocks)
{
    // An echo request with identifier 1, sequence 1 and no data.
    const uint8_t request[] = {8, 0, 0, 0, 0, 1, 0, 1};
    EXPECT_EQ(InternetChecksum(request, sizeof request), 0xF7FD);
    // An odd length pads with a zero byte; a block with its checksum sums to 0.
    const uint8_t odd[] = {0x01, 0x02, 0x03};
    EXPECT_EQ(InternetChecksum(odd, sizeof odd), uint16_t(~(0x0102 + 0x0300)));
    const uint8_t withSum[] = {8, 0, 0xF7, 0xFD, 0, 1, 0, 1};
    EXPECT_EQ(InternetChecksum(withSum, sizeof withSum), 0);
}

TEST(IcmpClient, LoopbackAnswersEachRequest)
{
    IcmpClient client;
    try {
        client.Open();
    } catch (const EIcmpUnavailable& e) {
        GTEST_SKIP() << e.what();
    }
    const QByteArray data("127.0.0.1");
    for (uint16_t seq = 1; seq <= 3; ++seq) {
        client.SendEcho(kLoopback, data);
        EXPECT_EQ(client.Sequence(), seq);
        EXPECT_EQ(client.WaitReply(2000), 8 + data.size()) << KindName(client.Kind()) << " request " << seq;
    }
    // The reply was handed over once; nothing more is waited for.
    EXPECT_EQ(client.WaitReply(0), -1);
}

TEST(IcmpClient, PrefersTheDatagramSocketAndAnswersOnBoth)
{
    RunInPrivateNet({.pingSockets = true}, [] {
        IcmpClient any;
        any.Open();
        CHILD_CHECK(any.Kind() == IcmpSocketKind::Datagram, "the datagram socket is not preferred");
        for (IcmpSocketKind kind : {IcmpSocketKind::Datagram, IcmpSocketKind::Raw}) {
            IcmpClient client(kind);
            client.SendEcho(kLoopback, "abc");
            CHILD_CHECK(client.WaitReply(2000) == 11, std::string(KindName(kind)) + ": no reply from loopback");
        }
        return std::string();
    });
}

TEST(IcmpClient, TimesOutWhereLoopbackIgnoresEcho)
{
    // The raw socket also sees its own request here: it must not count.
    RunInPrivateNet({.ignoreEcho = true, .pingSockets = true}, [] {
        for (IcmpSocketKind kind : {IcmpSocketKind::Datagram, IcmpSocketKind::Raw}) {
            IcmpClient client(kind);
            client.SendEcho(kLoopback, "127.0.0.1");
            QElapsedTimer timer;
            timer.start();
            const int got = client.WaitReply(400);
            const qint64 waited = timer.elapsed();
            CHILD_CHECK(got == -1, std::string(KindName(kind)) + ": took something for a reply");
            CHILD_CHECK(waited >= 395, std::string(KindName(kind)) + ": returned before the time-out");
        }
        return std::string();
    });
}

TEST(IcmpClient, SendFailsWhereLoopbackIsDown)
{
    RunInPrivateNet({.loopbackUp = false, .pingSockets = true}, [] {
        for (IcmpSocketKind kind : {IcmpSocketKind::Datagram, IcmpSocketKind::Raw}) {
            IcmpClient client(kind);
            bool failed = false;
            try {
                client.SendEcho(kLoopback, "x");
            } catch (const EIcmpUnavailable&) {
                return std::string(KindName(kind)) + ": reported as unavailable";
            } catch (const EIcmpError& e) {
                failed = QString::fromUtf8(e.what()).contains("127.0.0.1");
            }
            CHILD_CHECK(failed, std::string(KindName(kind)) + ": no error naming the address");
        }
        return std::string();
    });
}

TEST(IcmpClient, NoSocketAllowedSaysSo)
{
    RunInPrivateNet({.dropCapabilities = true}, [] {
        IcmpClient client;
        try {
            client.SendEcho(kLoopback, "x");
        } catch (const EIcmpUnavailable& e) {
            const QString text = QString::fromUtf8(e.what());
            CHILD_CHECK(text.contains("datagram") && text.contains("raw"), "the message does not name both sockets");
            return std::string();
        }
        return std::string("a socket was opened without permission");
    });
}

TEST(IcmpClient, TakesOnlyTheReplyToItsRequest)
{
    RunInPrivateNet({.ignoreEcho = true, .pingSockets = true}, [] {
        const QByteArray good("GOOD-REPLY"); // a length no decoy has
        const QByteArray decoy("decoy");
        struct Decoy {
            const char* name;
            std::function<void(uint16_t id, uint16_t seq)> send;
        };
        const Decoy decoys[] = {
            {"another source", [&](uint16_t id, uint16_t seq) { Inject(0x7F000005, IcmpMessage(0, 0, id, seq, decoy)); }},
            {"another identifier", [&](uint16_t id, uint16_t seq) { Inject(kLoopback, IcmpMessage(0, 0, id ^ 0x5A5A, seq, decoy)); }},
            {"an earlier sequence", [&](uint16_t id, uint16_t seq) { Inject(kLoopback, IcmpMessage(0, 0, id, uint16_t(seq - 1), decoy)); }},
            {"an echo request", [&](uint16_t id, uint16_t seq) { Inject(kLoopback, IcmpMessage(8, 0, id, seq, decoy)); }},
            {"an unreachable message", [&](uint16_t id, uint16_t seq) { Inject(kLoopback, IcmpMessage(3, 1, id, seq, decoy)); }},
            {"a bad checksum", [&](uint16_t id, uint16_t seq) {
                 QByteArray m = IcmpMessage(0, 0, id, seq, decoy);
                 m[2] = char(m[2] ^ 0x01);
                 Inject(kLoopback, m);
             }},
        };
        for (IcmpSocketKind kind : {IcmpSocketKind::Datagram, IcmpSocketKind::Raw}) {
            IcmpClient client(kind);
            for (const Decoy& d : decoys) {
                client.SendEcho(kLoopback, "127.0.0.1");
                d.send(client.Identifier(), client.Sequence());
                Inject(kLoopback, IcmpMessage(0, 0, client.Identifier(), client.Sequence(), good));
                const int got = client.WaitReply(2000);
                CHILD_CHECK(got == 8 + good.size(), std::string(KindName(kind)) + ": took " + d.name + " for the reply");
            }
        }
        return std::string();
    });
}
