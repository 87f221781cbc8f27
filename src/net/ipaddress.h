// This computer's address for the IP command: the addresses of its network
// adapters as plain records, the choice among them, and their text form.
#pragma once

#include <stddef.h>

enum {
    IP_FAMILY_V4 = 4,
    IP_FAMILY_V6 = 6,
    IP_ADDRESS_TEXT_SIZE = 46,  // the longest IPv6 text and the NUL
};

// One unicast address of one adapter, in the order the system lists them.
struct AdapterAddress {
    int family;                // IP_FAMILY_V4 or IP_FAMILY_V6
    unsigned char bytes[16];   // network order; an IPv4 address uses the first 4
    bool adapterUp;            // the adapter can pass packets
    bool loopback;             // the software loopback adapter
    bool preferred;            // the address may be used (not tentative, duplicate or deprecated)
    bool defaultRoute;         // the adapter has a default gateway of this address's family
    unsigned long metric;      // the adapter's route metric for this family; lower wins
};

// The address the IP command puts on the clipboard: of an adapter that is up
// and carries a default route, the one with the lowest metric, IPv4 before
// IPv6 (IPv6 only when no such adapter has an IPv4 address); loopback,
// link-local and unusable addresses never. Ties go to the earlier record.
// Gives its index, or -1 when no adapter carries a default route.
int IpAddress_Choose(const AdapterAddress* list, int count);

// Dotted decimal for IPv4; for IPv6 the text of RFC 5952 (lower-case hex,
// no leading zeros, the longest run of two or more zero groups as "::").
// False when it does not fit in size bytes (out is then empty).
bool IpAddress_Format(char* out, size_t size, const AdapterAddress* address);

// Win32 half (ipaddress_win.cpp): the adapters' addresses from
// GetAdaptersAddresses, into list (at most max); gives how many. The library
// is loaded when this is first called, so start-up does not load it.
int IpAddress_Collect(AdapterAddress* list, int max);
