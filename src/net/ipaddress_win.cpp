// The adapters' addresses from GetAdaptersAddresses. The IP Helper library
// is loaded (from the system folder) the first time the IP command runs, so
// that a start of Tamarin does not load it.
#include "net/ipaddress.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "ui/latelib.h"

namespace {

typedef ULONG(WINAPI* GetAdaptersAddressesProc)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);

const ULONG FIRST_BUFFER_SIZE = 15000;  // the size Microsoft suggests to start with
const int BUFFER_TRIES = 4;             // adapters may appear between two calls

LateLib g_ipHelper = {"iphlpapi.dll", nullptr};

// The whole list, in a heap block the caller frees; null when there is none.
IP_ADAPTER_ADDRESSES* QueryAdapters()
{
    auto query = LateLib_Get<GetAdaptersAddressesProc>(&g_ipHelper, "GetAdaptersAddresses");
    if (!query)
        return nullptr;
    const ULONG flags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                        GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_SKIP_FRIENDLY_NAME;
    ULONG size = FIRST_BUFFER_SIZE;
    for (int tries = 0; tries < BUFFER_TRIES; tries++) {
        IP_ADAPTER_ADDRESSES* adapters = static_cast<IP_ADAPTER_ADDRESSES*>(malloc(size));
        if (!adapters)
            return nullptr;
        ULONG result = query(AF_UNSPEC, flags, nullptr, adapters, &size);
        if (result == ERROR_SUCCESS)
            return adapters;
        free(adapters);
        if (result != ERROR_BUFFER_OVERFLOW)
            return nullptr;
    }
    return nullptr;
}

// The gateways and, after them, the metrics came with Windows Vista; a
// record without them (its Length says how much of it there is) carries no
// default route.
bool HasRouteFields(const IP_ADAPTER_ADDRESSES* adapter)
{
    const size_t needed = offsetof(IP_ADAPTER_ADDRESSES, Ipv6Metric) + sizeof(adapter->Ipv6Metric);
    return adapter->Length >= needed;
}

bool HasGateway(const IP_ADAPTER_ADDRESSES* adapter, int addressFamily)
{
    if (!HasRouteFields(adapter))
        return false;
    for (const IP_ADAPTER_GATEWAY_ADDRESS_LH* gateway = adapter->FirstGatewayAddress; gateway;
         gateway = gateway->Next) {
        const SOCKADDR* address = gateway->Address.lpSockaddr;
        if (address && address->sa_family == addressFamily)
            return true;
    }
    return false;
}

bool ToRecord(const IP_ADAPTER_ADDRESSES* adapter, const IP_ADAPTER_UNICAST_ADDRESS* unicast, AdapterAddress* out)
{
    const SOCKADDR* address = unicast->Address.lpSockaddr;
    if (!address)
        return false;
    memset(out, 0, sizeof *out);
    if (address->sa_family == AF_INET && unicast->Address.iSockaddrLength >= static_cast<INT>(sizeof(sockaddr_in))) {
        out->family = IP_FAMILY_V4;
        memcpy(out->bytes, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, 4);
        out->metric = HasRouteFields(adapter) ? adapter->Ipv4Metric : 0;
    } else if (address->sa_family == AF_INET6 &&
               unicast->Address.iSockaddrLength >= static_cast<INT>(sizeof(sockaddr_in6))) {
        out->family = IP_FAMILY_V6;
        memcpy(out->bytes, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, 16);
        out->metric = HasRouteFields(adapter) ? adapter->Ipv6Metric : 0;
    } else {
        return false;
    }
    out->adapterUp = adapter->OperStatus == IfOperStatusUp;
    out->loopback = adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
    out->preferred = unicast->DadState == IpDadStatePreferred;
    out->defaultRoute = HasGateway(adapter, address->sa_family);
    return true;
}

}  // namespace

int IpAddress_Collect(AdapterAddress* list, int max)
{
    IP_ADAPTER_ADDRESSES* adapters = QueryAdapters();
    if (!adapters)
        return 0;
    int count = 0;
    for (const IP_ADAPTER_ADDRESSES* adapter = adapters; adapter && count < max; adapter = adapter->Next) {
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast && count < max;
             unicast = unicast->Next) {
            if (ToRecord(adapter, unicast, &list[count]))
                count++;
        }
    }
    free(adapters);
    return count;
}
