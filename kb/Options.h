#pragma once
#include <string>

// The command line of loadwatch-kb.
struct KbOptions {
    // Empty: the user's own socket, RUNTIME/loadwatch/kb.sock.
    std::string address;
    int port = -1;
    std::string database = ":memory:";
    std::string factsRoot;  // "" for the machine itself
    int refreshSeconds = 5;
    bool help = false;
};

extern const char kKbUsage[];

// False with a one-line reason on anything it does not understand.
bool ParseKbOptions(int argc, const char* const* argv, KbOptions& options, std::string& error);

// "ADDR:PORT" or "[ADDR6]:PORT", port 0 to 65535.
bool ParseListenAddress(const std::string& text, std::string& address, int& port);

// The listening socket handed over by systemd's socket activation
// (sd_listen_fds(3)): 3 when LISTEN_PID is this process and LISTEN_FDS is
// at least 1, else -1.
int InheritedListenFd(const char* listenPid, const char* listenFds, long selfPid);
