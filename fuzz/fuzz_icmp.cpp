// fuzz-layer: kr_platform
// The ICMP echo reply check over any received packet. The first byte says
// whether the packet carries its IP header (a raw socket's packets do).
#include "FuzzSupport.h"
#include "platform/Icmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const bool withIp = data[0] & 1;
    const uint8_t* packet = data + 1;
    const size_t n = size - 1;
    const int reply = ParseEchoReply(packet, n, withIp, 0x1234, 7);
    Require(reply == -1 || (reply >= 8 && size_t(reply) <= n), "a reply size lies inside the packet");
    if (reply > 0) {
        const uint8_t* icmp = packet + (n - size_t(reply));
        Require(icmp[0] == 0 && icmp[4] == 0x12 && icmp[5] == 0x34 && icmp[7] == 7, "only our echo reply is taken");
        Require(InternetChecksum(icmp, size_t(reply)) == 0, "its checksum is right");
    }
    return 0;
}
