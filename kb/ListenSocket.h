#pragma once
#include <string>

#include "platform/linux/UniqueFd.h"

// The server's listening sockets, made here rather than by the HTTP library
// so that their backlog, their place and their permissions are ours.

// Enough for a burst of a thousand connections to wait rather than be
// refused (the kernel caps it at net.core.somaxconn).
constexpr int kListenBacklog = 1024;

// A TCP socket listening on address:port (IPv4 or IPv6 literal; port 0
// picks a free one). Invalid, with a reason, on failure.
UniqueFd ListenTcp(const std::string& address, int port, std::string& error);

// The port a TCP socket listens on; 0 for anything else.
int ListeningPort(int fd);

// The default place of the user's own server: RUNTIME/loadwatch/kb.sock.
// Empty, with a reason, when runtimeDir is unset, not absolute or missing.
std::string UserSocketPath(const char* runtimeDir, std::string& error);

// A Unix socket listening at path, reachable by this user alone: its folder
// is made 0700 when missing and refused when another user owns it or others
// may enter it; the socket is 0600. A stale socket left by an ended server
// is replaced; a live one is not (error says another server answers there).
struct UnixListener {
    UniqueFd fd;
    unsigned long long inode = 0;  // of the socket's file, to remove only our own
};
UnixListener ListenUnix(const std::string& path, std::string& error);

// Removes the socket file at path if it is still the one of that inode.
void RemoveUnixSocket(const std::string& path, unsigned long long inode);
