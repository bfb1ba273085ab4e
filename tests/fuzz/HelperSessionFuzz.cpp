// Feeds arbitrary bytes to the helper's session, as a hostile caller could
// on its stdin, and checks that nothing outside the protocol is acted on.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "helper/HelperSession.h"
#include "helper/HelperSystem.h"
#include "platform/linux/HelperProtocol.h"

namespace {
class CCheckingSystem : public IHelperSystem {
public:
    bool ReadIo(std::uint32_t pid, std::uint64_t& r, std::uint64_t& w, int&) override {
        Check(pid);
        r = w = pid;
        return true;
    }
    bool ReadExe(std::uint32_t pid, std::string& path, int&) override {
        Check(pid);
        path = std::string("/x y\n%") + static_cast<char>(pid & 0xFF);
        return true;
    }
    bool ReadSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes, int&) override {
        Check(pid);
        inodes.assign(pid % 1000, UINT64_MAX);  // past the cap: the reply must stay bounded
        return true;
    }
    bool Kill(std::uint32_t pid, std::uint64_t, int& err) override {
        Check(pid);
        err = 3;
        return false;
    }

private:
    static void Check(std::uint32_t pid) {
        if (pid == 0 || pid > kMaxPid) std::abort();
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CCheckingSystem system;
    CHelperSession session(system);
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Two pieces: lines may be split anywhere between reads.
    std::size_t cut = size ? data[0] % (size + 1) : 0;
    std::string out = session.Feed(bytes.substr(0, cut));
    out += session.Feed(bytes.substr(cut));
    // One reply line per complete input line, each "ok..." or "err N".
    std::size_t lines = 0;
    for (char c : bytes) lines += c == '\n';
    std::size_t replies = 0, start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) std::abort();
        std::string fields;
        int err = 0;
        std::string_view line(out.data() + start, end - start);
        if (!ParseHelperReply(line, fields, err) && err == EPROTO) std::abort();
        ++replies;
        start = end + 1;
    }
    if (replies != lines) std::abort();
    // The request parser agrees with its own formatting.
    std::size_t nl = bytes.find('\n');
    if (auto r = ParseHelperRequest(bytes.substr(0, nl));
        r && FormatHelperRequest(*r) != std::string(bytes.substr(0, nl)) + "\n")
        std::abort();
    return 0;
}
