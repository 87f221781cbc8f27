// The adapters' addresses as the IP command reads them, checked against the
// system's own list: the loopback is marked, and the address chosen is that
// of the adapter with an IPv4 default gateway.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "net/ipaddress.h"

namespace {

// The IPv4 address of the up adapter with an IPv4 gateway and the lowest
// metric, asked of the system directly; empty when there is none.
std::string RoutedIPv4()
{
    ULONG size = 64 * 1024;
    std::string buffer(size, '\0');
    IP_ADAPTER_ADDRESSES* adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(&buffer[0]);
    if (GetAdaptersAddresses(AF_INET, GAA_FLAG_INCLUDE_GATEWAYS, nullptr, adapters, &size) != ERROR_SUCCESS)
        return "";
    std::string best;
    ULONG bestMetric = 0;
    for (IP_ADAPTER_ADDRESSES* a = adapters; a; a = a->Next) {
        if (a->OperStatus != IfOperStatusUp || !a->FirstGatewayAddress || !a->FirstUnicastAddress)
            continue;
        const sockaddr_in* in = reinterpret_cast<const sockaddr_in*>(a->FirstUnicastAddress->Address.lpSockaddr);
        const unsigned char* b = reinterpret_cast<const unsigned char*>(&in->sin_addr);
        if (b[0] == 169 && b[1] == 254)
            continue;
        if (best.empty() || a->Ipv4Metric < bestMetric) {
            best = std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
                   std::to_string(b[3]);
            bestMetric = a->Ipv4Metric;
        }
    }
    return best;
}

TEST(AdapterAddresses, TheLoopbackIsListedAndMarked)
{
    AdapterAddress list[64];
    int count = IpAddress_Collect(list, 64);
    ASSERT_GT(count, 0);
    bool loopback = false;
    for (int i = 0; i < count; i++) {
        EXPECT_TRUE(list[i].family == IP_FAMILY_V4 || list[i].family == IP_FAMILY_V6);
        if (list[i].family == IP_FAMILY_V4 && list[i].bytes[0] == 127)
            loopback = loopback || list[i].loopback;
    }
    EXPECT_TRUE(loopback);
}

TEST(AdapterAddresses, AFullListStopsAtItsEnd)
{
    AdapterAddress list[2] = {};
    EXPECT_LE(IpAddress_Collect(list, 1), 1);
    EXPECT_EQ(list[1].family, 0);
}

TEST(AdapterAddresses, TheIpCommandTakesTheRoutedAdapter)
{
    std::string routed = RoutedIPv4();
    if (routed.empty())
        GTEST_SKIP() << "this computer has no IPv4 default gateway";
    AdapterAddress list[64];
    int count = IpAddress_Collect(list, 64);
    int chosen = IpAddress_Choose(list, count);
    ASSERT_GE(chosen, 0);
    char chosenText[IP_ADDRESS_TEXT_SIZE];
    ASSERT_TRUE(IpAddress_Format(chosenText, sizeof chosenText, &list[chosen]));
    EXPECT_EQ(std::string(chosenText), routed);
    char text[64] = "";
    ASSERT_TRUE(Commands_GetHostIpAddress(text, sizeof text));
    EXPECT_EQ(std::string(text), routed);
}

}  // namespace
