// The choice of this computer's address and its text form, over plain
// records, so that the rules can be tested with tables anywhere.
#include "net/ipaddress.h"

#include <stdio.h>
#include <string.h>

namespace {

bool IsLinkLocal(const AdapterAddress& a)
{
    if (a.family == IP_FAMILY_V4)
        return a.bytes[0] == 169 && a.bytes[1] == 254;  // 169.254.0.0/16
    return a.bytes[0] == 0xFE && (a.bytes[1] & 0xC0) == 0x80;  // fe80::/10
}

bool IsUnspecifiedOrLoopbackAddress(const AdapterAddress& a)
{
    if (a.family == IP_FAMILY_V4)
        return a.bytes[0] == 0 || a.bytes[0] == 127;
    for (int i = 0; i < 15; i++) {
        if (a.bytes[i] != 0)
            return false;
    }
    return a.bytes[15] <= 1;  // :: and ::1
}

bool IsCandidate(const AdapterAddress& a, int family)
{
    return a.family == family && a.adapterUp && !a.loopback && a.preferred && a.defaultRoute && !IsLinkLocal(a) &&
           !IsUnspecifiedOrLoopbackAddress(a);
}

int BestOfFamily(const AdapterAddress* list, int count, int family)
{
    int best = -1;
    for (int i = 0; i < count; i++) {
        if (IsCandidate(list[i], family) && (best < 0 || list[i].metric < list[best].metric))
            best = i;
    }
    return best;
}

// The longest run of at least two zero groups, the first of equal ones.
void LongestZeroRun(const unsigned groups[8], int* start, int* length)
{
    *start = -1;
    *length = 0;
    for (int i = 0; i < 8;) {
        if (groups[i] != 0) {
            i++;
            continue;
        }
        int j = i;
        while (j < 8 && groups[j] == 0)
            j++;
        if (j - i >= 2 && j - i > *length) {
            *start = i;
            *length = j - i;
        }
        i = j;
    }
}

bool FormatV6(char* out, size_t size, const unsigned char bytes[16])
{
    unsigned groups[8];
    for (int i = 0; i < 8; i++)
        groups[i] = (static_cast<unsigned>(bytes[2 * i]) << 8) | bytes[2 * i + 1];
    int zeroStart, zeroLength;
    LongestZeroRun(groups, &zeroStart, &zeroLength);
    char text[IP_ADDRESS_TEXT_SIZE];
    size_t used = 0;
    for (int i = 0; i < 8; i++) {
        if (i == zeroStart) {
            text[used++] = ':';
            if (i == 0)
                text[used++] = ':';
            i += zeroLength - 1;
            continue;
        }
        int n = snprintf(text + used, sizeof text - used, "%x%s", groups[i], i < 7 ? ":" : "");
        if (n < 0)
            return false;
        used += static_cast<size_t>(n);
    }
    text[used] = 0;
    if (used >= size)
        return false;
    memcpy(out, text, used + 1);
    return true;
}

}  // namespace

int IpAddress_Choose(const AdapterAddress* list, int count)
{
    if (!list || count <= 0)
        return -1;
    int best = BestOfFamily(list, count, IP_FAMILY_V4);
    return best >= 0 ? best : BestOfFamily(list, count, IP_FAMILY_V6);
}

bool IpAddress_Format(char* out, size_t size, const AdapterAddress* address)
{
    if (size == 0)
        return false;
    out[0] = 0;
    if (address->family == IP_FAMILY_V6)
        return FormatV6(out, size, address->bytes);
    if (address->family != IP_FAMILY_V4)
        return false;
    int n = snprintf(out, size, "%u.%u.%u.%u", address->bytes[0], address->bytes[1], address->bytes[2],
                     address->bytes[3]);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = 0;
        return false;
    }
    return true;
}
