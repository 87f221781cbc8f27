// The IP command's address: which adapter address is chosen (up, carrying
// the default route, lowest metric, IPv4 before IPv6), and the text of IPv4
// and IPv6 addresses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/ipaddress.h"

namespace {

AdapterAddress V4(unsigned a, unsigned b, unsigned c, unsigned d, bool defaultRoute, unsigned long metric,
                  bool up = true)
{
    AdapterAddress r = {};
    r.family = IP_FAMILY_V4;
    r.bytes[0] = static_cast<unsigned char>(a);
    r.bytes[1] = static_cast<unsigned char>(b);
    r.bytes[2] = static_cast<unsigned char>(c);
    r.bytes[3] = static_cast<unsigned char>(d);
    r.adapterUp = up;
    r.preferred = true;
    r.defaultRoute = defaultRoute;
    r.metric = metric;
    return r;
}

// Eight 16-bit groups.
AdapterAddress V6(std::vector<unsigned> groups, bool defaultRoute, unsigned long metric, bool preferred = true)
{
    AdapterAddress r = {};
    r.family = IP_FAMILY_V6;
    for (size_t i = 0; i < 8 && i < groups.size(); i++) {
        r.bytes[2 * i] = static_cast<unsigned char>(groups[i] >> 8);
        r.bytes[2 * i + 1] = static_cast<unsigned char>(groups[i] & 0xFF);
    }
    r.adapterUp = true;
    r.preferred = preferred;
    r.defaultRoute = defaultRoute;
    r.metric = metric;
    return r;
}

AdapterAddress Loopback(AdapterAddress r)
{
    r.loopback = true;
    return r;
}

struct ChoiceCase {
    const char* name;
    std::vector<AdapterAddress> list;
    int chosen;
};

TEST(IpAddress_Choose, TakesTheDefaultRouteWithTheLowestMetric)
{
    const ChoiceCase cases[] = {
        {"no adapters", {}, -1},
        {"only the loopback", {Loopback(V4(127, 0, 0, 1, true, 1)), Loopback(V6({0, 0, 0, 0, 0, 0, 0, 1}, true, 1))},
         -1},
        {"a virtual adapter listed first has no default route",
         {V4(172, 17, 0, 1, false, 5), V4(192, 168, 0, 5, true, 25)},
         1},
        {"the lowest metric wins", {V4(192, 168, 0, 5, true, 25), V4(10, 8, 0, 2, true, 1)}, 1},
        {"an adapter that is down does not count",
         {V4(10, 8, 0, 2, true, 1, false), V4(192, 168, 0, 5, true, 50)},
         1},
        {"equal metrics: the earlier", {V4(192, 168, 0, 5, true, 10), V4(192, 168, 1, 7, true, 10)}, 0},
        {"IPv4 before IPv6, whatever the metrics",
         {V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, true, 1), V4(192, 168, 0, 5, true, 50)},
         1},
        {"IPv6 when no IPv4 address carries a default route",
         {V4(192, 168, 0, 5, false, 5), V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, true, 10)},
         1},
        {"link-local IPv6 never", {V6({0xfe80, 0, 0, 0, 0xfc, 0xff, 0xfe00, 1}, true, 1),
                                   V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 9}, true, 5)},
         1},
        {"link-local IPv4 never", {V4(169, 254, 3, 4, true, 1), V4(192, 168, 0, 5, true, 9)}, 1},
        {"a deprecated address never", {V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, true, 1, false),
                                         V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 2}, true, 1)},
         1},
        {"no default route anywhere", {V4(192, 168, 0, 5, false, 1), V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, false, 1)},
         -1},
        {"the unspecified address never", {V4(0, 0, 0, 0, true, 1), V4(192, 168, 0, 5, true, 2)}, 1},
    };
    for (const ChoiceCase& c : cases)
        EXPECT_EQ(IpAddress_Choose(c.list.data(), static_cast<int>(c.list.size())), c.chosen) << c.name;
    EXPECT_EQ(IpAddress_Choose(nullptr, 3), -1);
}

struct TextCase {
    AdapterAddress address;
    std::string text;
};

std::string Text(const AdapterAddress& a, size_t size = IP_ADDRESS_TEXT_SIZE)
{
    std::string buf(size + 8, 'X');
    bool ok = IpAddress_Format(&buf[0], size, &a);
    EXPECT_EQ(buf.substr(size), std::string(8, 'X')) << "wrote past the buffer";
    std::string text = size ? std::string(buf.c_str()) : std::string();
    return ok ? text : "false:" + text;
}

TEST(IpAddress_Format, DottedDecimalForIPv4)
{
    const TextCase cases[] = {
        {V4(192, 168, 0, 5, true, 0), "192.168.0.5"},
        {V4(10, 0, 0, 1, true, 0), "10.0.0.1"},
        {V4(255, 255, 255, 255, true, 0), "255.255.255.255"},
        {V4(0, 0, 0, 0, true, 0), "0.0.0.0"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Text(c.address), c.text);
}

TEST(IpAddress_Format, Rfc5952TextForIPv6)
{
    const TextCase cases[] = {
        {V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, true, 0), "2001:db8::1"},
        {V6({0, 0, 0, 0, 0, 0, 0, 1}, true, 0), "::1"},
        {V6({0, 0, 0, 0, 0, 0, 0, 0}, true, 0), "::"},
        {V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 0}, true, 0), "2001:db8::"},
        // the first of two equal runs
        {V6({0x2001, 0xdb8, 0, 0, 1, 0, 0, 1}, true, 0), "2001:db8::1:0:0:1"},
        // the longer run
        {V6({0x2001, 0, 0, 1, 0, 0, 0, 1}, true, 0), "2001:0:0:1::1"},
        // one zero group alone stays
        {V6({0x2001, 0xdb8, 0, 1, 1, 1, 1, 1}, true, 0), "2001:db8:0:1:1:1:1:1"},
        {V6({0xfe80, 0, 0, 0, 0xfc, 0xff, 0xfe00, 1}, true, 0), "fe80::fc:ff:fe00:1"},
        {V6({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, true, 0),
         "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"},
        {V6({0xfd00, 0, 0, 0, 0, 0, 0, 2}, true, 0), "fd00::2"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Text(c.address), c.text);
}

TEST(IpAddress_Format, ATextThatDoesNotFitIsRefused)
{
    AdapterAddress v4 = V4(192, 168, 0, 5, true, 0);
    EXPECT_EQ(Text(v4, 12), "192.168.0.5");
    EXPECT_EQ(Text(v4, 11), "false:");
    AdapterAddress v6 = V6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, true, 0);
    EXPECT_EQ(Text(v6, 12), "2001:db8::1");
    EXPECT_EQ(Text(v6, 11), "false:");
    EXPECT_EQ(Text(v6, 0), "false:");
    AdapterAddress none = {};
    EXPECT_EQ(Text(none), "false:");
}

}  // namespace
