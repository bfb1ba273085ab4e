#pragma once
#include <string>

// Where the metrics are served: a host (name or address, IPv6 without
// brackets) and a port (0: any free port).
struct ListenAddress {
    std::string host = "127.0.0.1";
    int port = 0;
};

// Reads "PORT", "HOST:PORT" or "[IPV6]:PORT"; a bare port listens on
// 127.0.0.1. false for anything else (no port, a port above 65535, an
// empty host, an unbracketed IPv6 address).
bool ParseListenAddress(const std::string& text, ListenAddress& address);

// The address as a URL authority: IPv6 hosts in brackets.
std::string FormatListenAddress(const ListenAddress& address);
