#pragma once
// ICMP echo (ping) over IPv4.
//
// IcmpClient sends echo requests through an unprivileged ICMP datagram socket
// where the system allows one (Linux: the caller's group lies in
// net.ipv4.ping_group_range), else through a raw ICMP socket (needs the
// raw-socket capability). When the system allows neither, opening fails with
// EIcmpUnavailable, whose message says so.
//
// Only an Echo Reply that comes from the address the request went to and
// carries the request's identifier and sequence number is taken as its reply;
// anything else that reaches the socket (the raw socket's copy of our own
// request on loopback, other hosts' replies, error messages, replies to other
// programs or to earlier requests) is read and dropped.
#include "platform/Exception.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The dotted text of an IPv4 address in host byte order ("192.168.2.205").
QString Ipv4Text(uint32_t address);

// A failed send or receive (the message says what failed).
class EIcmpError : public Exception {
public:
    using Exception::Exception;
};

// The system allows no ICMP socket to this program.
class EIcmpUnavailable : public EIcmpError {
public:
    using EIcmpError::EIcmpError;
};

// What the echo check needs of a ping client: send one request, then look for
// its reply in slices, so the caller can keep its window painting between them.
class IcmpEchoTransport {
public:
    virtual ~IcmpEchoTransport() = default;
    // Sends one echo request carrying `data` to `address` (IPv4, host byte
    // order). It becomes the request whose reply WaitReply looks for.
    // Throws EIcmpError (EIcmpUnavailable when no socket can be had).
    virtual void SendEcho(uint32_t address, const QByteArray& data) = 0;
    // Waits at most `waitMs` milliseconds (0: only looks) for the reply to the
    // last request. Returns the size in bytes of the reply's ICMP message, or
    // -1 when it has not come (or was already returned). Throws EIcmpError.
    virtual int WaitReply(int waitMs) = 0;
};

enum class IcmpSocketKind { Datagram, Raw };

class IcmpClient final : public IcmpEchoTransport {
public:
    // Takes the datagram socket when allowed, else the raw one. The socket is
    // opened at the first request (or by Open).
    IcmpClient();
    // Uses only the given kind of socket.
    explicit IcmpClient(IcmpSocketKind only);
    ~IcmpClient() override;
    IcmpClient(const IcmpClient&) = delete;
    IcmpClient& operator=(const IcmpClient&) = delete;

    // Opens the socket now when it is not open. Throws EIcmpUnavailable.
    void Open();
    bool IsOpen() const { return m_fd >= 0; }
    // The kind of the open socket.
    IcmpSocketKind Kind() const { return m_kind; }
    // The identifier our requests carry (for a datagram socket, the one the
    // system gave it) and the sequence number of the last request.
    uint16_t Identifier() const { return m_id; }
    uint16_t Sequence() const { return m_seq; }

    void SendEcho(uint32_t address, const QByteArray& data) override;
    int WaitReply(int waitMs) override;

private:
    // Reads one waiting packet; returns the reply size when it is the reply
    // looked for, -1 otherwise (also when nothing is waiting).
    int ReadOne(bool& drained);

    bool m_anyKind = true;
    IcmpSocketKind m_kind = IcmpSocketKind::Datagram;
    int m_fd = -1;
    uint16_t m_id = 0;
    uint16_t m_seq = 0;
    uint32_t m_target = 0;
    bool m_waiting = false; // a request was sent and its reply has not come yet
};

// The ICMP message size of a received packet when it is the Echo Reply with
// this identifier and sequence number and a correct checksum; -1 for
// anything else. `withIpHeader`: the packet starts with its IPv4 header (a
// raw socket's packets do).
int ParseEchoReply(const uint8_t* packet, size_t size, bool withIpHeader, uint16_t identifier, uint16_t sequence);

// The Internet checksum (RFC 1071) of a byte block.
uint16_t InternetChecksum(const uint8_t* data, size_t size);
