#include "platform/Icmp.h"

#include <QRandomGenerator>
#include <QString>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uint8_t kEchoReply = 0;
constexpr uint8_t kEchoRequest = 8;
constexpr uint8_t kProtocolIcmp = 1;

QString ErrorText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

int OpenSocket(int type)
{
    return ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
}

} // namespace

QString Ipv4Text(uint32_t address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((address >> 24) & 0xFF)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

uint16_t InternetChecksum(const uint8_t* data, size_t size)
{
    uint32_t sum = 0;
    size_t i = 0;
    for (; i + 1 < size; i += 2) sum += uint32_t(data[i]) << 8 | data[i + 1];
    if (i < size) sum += uint32_t(data[i]) << 8;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

IcmpClient::IcmpClient() = default;

IcmpClient::IcmpClient(IcmpSocketKind only) : m_anyKind(false), m_kind(only) {}

IcmpClient::~IcmpClient()
{
    if (m_fd >= 0) ::close(m_fd);
}

void IcmpClient::Open()
{
    if (m_fd >= 0) return;
    int fd = -1;
    int datagramError = 0;
    int rawError = 0;
    if (m_anyKind || m_kind == IcmpSocketKind::Datagram) {
        fd = OpenSocket(SOCK_DGRAM);
        if (fd >= 0) {
            // Bind to identifier 0 so the system picks a free identifier now,
            // which replies then carry and we can compare.
            sockaddr_in local{};
            local.sin_family = AF_INET;
            socklen_t len = sizeof local;
            if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
                || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0) {
                const int err = errno;
                ::close(fd);
                throw EIcmpUnavailable(QStringLiteral("Cannot prepare the ICMP socket: %1").arg(ErrorText(err)));
            }
            m_kind = IcmpSocketKind::Datagram;
            m_id = ntohs(local.sin_port);
        } else {
            datagramError = errno;
        }
    }
    if (fd < 0 && (m_anyKind || m_kind == IcmpSocketKind::Raw)) {
        fd = OpenSocket(SOCK_RAW);
        if (fd >= 0) {
            m_kind = IcmpSocketKind::Raw;
            m_id = uint16_t(QRandomGenerator::global()->bounded(1, 0x10000));
        } else {
            rawError = errno;
        }
    }
    if (fd < 0) {
        QString why;
        if (datagramError) why += QStringLiteral("no ICMP datagram socket (%1)").arg(ErrorText(datagramError));
        if (rawError) {
            if (!why.isEmpty()) why += QStringLiteral(" and ");
            why += QStringLiteral("no raw ICMP socket (%1)").arg(ErrorText(rawError));
        }
        throw EIcmpUnavailable(
            QStringLiteral("This system does not allow the program to send ICMP echo requests: %1. "
                           "Add the user's group to net.ipv4.ping_group_range or give the program "
                           "the CAP_NET_RAW capability.")
                .arg(why));
    }
    m_fd = fd;
}

void IcmpClient::SendEcho(uint32_t address, const QByteArray& data)
{
    Open();
    m_waiting = false;
    ++m_seq;
    QByteArray packet(8, '\0');
    packet[0] = char(kEchoRequest);
    packet[4] = char(m_id >> 8);
    packet[5] = char(m_id & 0xFF);
    packet[6] = char(m_seq >> 8);
    packet[7] = char(m_seq & 0xFF);
    packet += data;
    const uint16_t sum = InternetChecksum(reinterpret_cast<const uint8_t*>(packet.constData()), size_t(packet.size()));
    packet[2] = char(sum >> 8);
    packet[3] = char(sum & 0xFF);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    for (;;) {
        const ssize_t sent = ::sendto(m_fd, packet.constData(), size_t(packet.size()), 0,
                                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (sent >= 0) break;
        if (errno == EINTR) continue;
        const int err = errno;
        throw EIcmpError(
            QStringLiteral("The echo request to %1 could not be sent: %2").arg(Ipv4Text(address), ErrorText(err)));
    }
    m_target = address;
    m_waiting = true;
}

int IcmpClient::ReadOne(bool& drained)
{
    drained = false;
    alignas(4) static thread_local uint8_t buf[65536];
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    const ssize_t got = ::recvfrom(m_fd, buf, sizeof buf, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            drained = true;
            return -1;
        }
        if (errno == EINTR) return -1;
        const int err = errno;
        throw EIcmpError(QStringLiteral("Receiving the echo reply failed: %1").arg(ErrorText(err)));
    }
    if (fromLen < sizeof from || from.sin_family != AF_INET || ntohl(from.sin_addr.s_addr) != m_target) return -1;
    return ParseEchoReply(buf, size_t(got), m_kind == IcmpSocketKind::Raw, m_id, m_seq);
}

int ParseEchoReply(const uint8_t* packet, size_t size, bool withIpHeader, uint16_t identifier, uint16_t sequence)
{
    const uint8_t* p = packet;
    size_t n = size;
    if (withIpHeader) {
        // A raw socket hands over the whole IP packet.
        if (n < 20 || (p[0] >> 4) != 4) return -1;
        const size_t headerSize = size_t(p[0] & 0x0F) * 4;
        if (headerSize < 20 || n < headerSize || p[9] != kProtocolIcmp) return -1;
        p += headerSize;
        n -= headerSize;
    }
    if (n < 8) return -1;
    if (p[0] != kEchoReply || p[1] != 0) return -1;
    const uint16_t id = uint16_t(p[4] << 8 | p[5]);
    const uint16_t seq = uint16_t(p[6] << 8 | p[7]);
    if (id != identifier || seq != sequence) return -1;
    if (InternetChecksum(p, n) != 0) return -1;
    return int(n);
}

int IcmpClient::WaitReply(int waitMs)
{
    if (m_fd < 0 || !m_waiting) return -1;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
    for (;;) {
        bool drained = false;
        while (!drained) {
            const int size = ReadOne(drained);
            if (size >= 0) {
                m_waiting = false;
                return size;
            }
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return -1;
        pollfd pfd{m_fd, POLLIN, 0};
        const int r = ::poll(&pfd, 1, int(left));
        if (r < 0 && errno != EINTR) {
            const int err = errno;
            throw EIcmpError(QStringLiteral("Waiting for the echo reply failed: %1").arg(ErrorText(err)));
        }
    }
}
