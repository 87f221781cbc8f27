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
#include "routing.h"

namespace {

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
    std::string routed = RoutedIPv4Address();
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
