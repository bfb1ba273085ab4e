#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

// The inode of a "socket:[INODE]" link of /proc/PID/fd (proc(5)); false for
// any other link.
bool ParseSocketLink(std::string_view link, std::uint64_t& inode);

// Appends the inodes of the sockets process pidName holds, read from its fd
// folder below the procfs root open as rootFd. false, with errno set, when
// the folder cannot be read (another user's process, or gone).
bool ReadProcessSockets(int rootFd, const char* pidName, std::vector<std::uint64_t>& inodes);
