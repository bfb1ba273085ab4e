#include "helper/HelperSession.h"

#include <cerrno>

#include "helper/HelperSystem.h"
#include "platform/linux/HelperProtocol.h"

namespace {
std::string Error(int err) { return "err " + std::to_string(err > 0 && err < 4096 ? err : EIO) + "\n"; }
}  // namespace

std::string CHelperSession::Feed(std::string_view bytes) {
    std::string replies;
    for (char c : bytes) {
        if (c != '\n') {
            // Kept bounded: past the limit the line is only counted as overlong.
            if (m_line.size() + 1 >= kMaxHelperRequest)
                m_overlong = true;
            else
                m_line += c;
            continue;
        }
        replies += m_overlong ? Error(E2BIG) : Answer(m_line);
        m_line.clear();
        m_overlong = false;
    }
    return replies;
}

std::string CHelperSession::Answer(std::string_view line) {
    std::optional<HelperRequest> request = ParseHelperRequest(line);
    if (!request) return Error(EINVAL);
    int err = 0;
    switch (request->verb) {
        case HelperRequest::Verb::kIo: {
            std::uint64_t read = 0, write = 0;
            if (!m_system.ReadIo(request->pid, read, write, err)) return Error(err);
            return "ok " + std::to_string(read) + " " + std::to_string(write) + "\n";
        }
        case HelperRequest::Verb::kExe: {
            std::string path;
            if (!m_system.ReadExe(request->pid, path, err)) return Error(err);
            return "ok " + EncodeHelperPath(path) + "\n";
        }
        case HelperRequest::Verb::kSockets: {
            std::vector<std::uint64_t> inodes;
            if (!m_system.ReadSockets(request->pid, inodes, err)) return Error(err);
            std::string reply = "ok";
            for (std::size_t i = 0; i < inodes.size() && i < kMaxHelperSockets; ++i)
                reply += " " + std::to_string(inodes[i]);
            return reply + "\n";
        }
        case HelperRequest::Verb::kKill:
            if (!m_system.Kill(request->pid, request->startTime, err)) return Error(err);
            return "ok\n";
    }
    return Error(EINVAL);
}
