// The routed adapter of routing.h. Apart from the test harnesses, whose headers
// bring in Windows Sockets 1.1, which the IP Helper's headers do not mix with.
#include "routing.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

std::string RoutedIPv4Address()
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
