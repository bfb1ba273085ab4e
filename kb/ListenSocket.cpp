#include "kb/ListenSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

bool FillUnixAddress(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.data(), path.size());
    return true;
}

// True when a server accepts connections at path right now.
bool SomeoneAnswers(const sockaddr_un& addr) {
    UniqueFd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return probe && ::connect(probe.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
}

// The socket's folder: made when missing, else it must be ours and closed
// to everyone else, or another user could swap the socket under us.
bool PrivateFolder(const std::string& folder, std::string& error) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = Reason("cannot create " + folder);
        return false;
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        error = Reason(folder);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        error = folder + " must be a folder of this user that no one else may enter (mode 0700)";
        return false;
    }
    return true;
}

}  // namespace

UniqueFd ListenTcp(const std::string& address, int port, std::string& error) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    int family = AF_INET;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
    if (::inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<std::uint16_t>(port));
        length = sizeof *v4;
    } else if (::inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
        family = AF_INET6;
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<std::uint16_t>(port));
        length = sizeof *v6;
    } else {
        error = "'" + address + "' is not an IPv4 or IPv6 address";
        return {};
    }
    UniqueFd fd(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) {
        error = Reason("socket");
        return {};
    }
    int on = 1;
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (family == AF_INET6) ::setsockopt(fd.Get(), IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
        ::listen(fd.Get(), kListenBacklog) != 0) {
        error = Reason("cannot listen on " + address + ":" + std::to_string(port));
        return {};
    }
    return fd;
}

int ListeningPort(int fd) {
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return 0;
    if (storage.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    if (storage.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port);
    return 0;
}

std::string UserSocketPath(const char* runtimeDir, std::string& error) {
    if (!runtimeDir || runtimeDir[0] != '/') {
        error =
            "XDG_RUNTIME_DIR is not set (or not an absolute path): there is no folder of this user "
            "to listen in; give --listen ADDR:PORT to serve on TCP";
        return {};
    }
    struct stat st {};
    if (::stat(runtimeDir, &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = std::string("the runtime folder ") + runtimeDir + " does not exist";
        return {};
    }
    return std::string(runtimeDir) + "/loadwatch/kb.sock";
}

UnixListener ListenUnix(const std::string& path, std::string& error) {
    sockaddr_un addr{};
    if (!FillUnixAddress(path, addr)) {
        error = "the socket path " + path + " is too long";
        return {};
    }
    std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !PrivateFolder(path.substr(0, slash), error)) return {};
    UnixListener listener;
    listener.fd = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener.fd) {
        error = Reason("socket");
        return {};
    }
    auto bindIt = [&] {
        return ::bind(listener.fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    };
    if (!bindIt()) {
        struct stat st {};
        if (errno != EADDRINUSE || ::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) {
            error = Reason("cannot listen on " + path);
            return {};
        }
        if (SomeoneAnswers(addr)) {
            error = "another server answers at " + path;
            return {};
        }
        // Left behind by a server that ended without cleaning up.
        ::unlink(path.c_str());
        if (!bindIt()) {
            error = Reason("cannot listen on " + path);
            return {};
        }
    }
    struct stat st {};
    if (::chmod(path.c_str(), 0600) != 0 || ::lstat(path.c_str(), &st) != 0 ||
        ::listen(listener.fd.Get(), kListenBacklog) != 0) {
        error = Reason("cannot listen on " + path);
        ::unlink(path.c_str());
        return {};
    }
    listener.inode = st.st_ino;
    return listener;
}

void RemoveUnixSocket(const std::string& path, unsigned long long inode) {
    struct stat st {};
    if (inode != 0 && ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == inode)
        ::unlink(path.c_str());
}
