// What the system says about its routes, asked independently of Tamarin.
#pragma once

#include <string>

// The IPv4 address of the adapter that is up and has an IPv4 default gateway
// with the lowest metric, as GetAdaptersAddresses lists them; empty when
// there is none.
std::string RoutedIPv4Address();
