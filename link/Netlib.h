// What the control task needs of the host's network library: finding an IPv4
// address of this host.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Ways to learn an address, each giving dotted text or false.
using AddressSource = std::function<bool(std::string&)>;
bool AddressOfHostName(std::string& address);    // the host name through the resolver
bool AddressOfInterfaces(std::string& address);  // the first IPv4 of the local interfaces

// The host's address: its name's, or, when the name does not resolve (no
// entry in the resolver is common on a laptop on a device network), the
// first of its interfaces'.  False only when the host has no IPv4 address.
bool FindLocalAddress(std::string& address, const AddressSource& byName = AddressOfHostName,
                      const AddressSource& byInterface = AddressOfInterfaces);

// An IPv4 subnet of this host, both parts in network byte order.
struct LocalSubnet {
    uint32_t Address;
    uint32_t Mask;
};
// The subnets of the IPv4 interfaces that are up, loopback included; or of
// the one interface named.
std::vector<LocalSubnet> LocalSubnets(const std::string& only = {});
