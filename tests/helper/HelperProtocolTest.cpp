#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "helper/HelperSession.h"
#include "helper/HelperSystem.h"
#include "platform/linux/HelperProtocol.h"

namespace {
using namespace std::string_literals;

TEST(HelperRequest, OnlyWellFormedNumbersPass) {
    // clang-format off
    const std::string rejected[] = {
        "", "io", "io ", " io 1", "io  1", "io 1 ", "io 1\r", "IO 1", "io\t1", "io 0", "io -1", "io +1", "io 01",
        "io 0x10", "io 1e3", "io 4194305", "io 99999999999999999999999", "io 1x", "io /proc/1", "exe ../1",
        "exe 1/root", "kill 5", "kill 5 x", "kill 5 -1", "kill 5 1 2", "kill 5 01", "kill 5 18446744073709551616",
        "io 1\0"s, "io \0"s + "1", "kill 5 " + std::string(60, '9'), "status 1", "io 1 2",
        "sockets", "sockets 0", "sockets 1 2", "sockets /proc/1/fd"};
    // clang-format on
    for (const std::string& line : rejected) EXPECT_FALSE(ParseHelperRequest(line)) << line;

    struct Good {
        std::string line;
        HelperRequest::Verb verb;
        std::uint32_t pid;
        std::uint64_t start;
    } accepted[] = {{"io 1", HelperRequest::Verb::kIo, 1, 0},
                    {"exe 4194304", HelperRequest::Verb::kExe, 4194304, 0},
                    {"kill 42 0", HelperRequest::Verb::kKill, 42, 0},
                    {"sockets 7", HelperRequest::Verb::kSockets, 7, 0},
                    {"kill 42 18446744073709551615", HelperRequest::Verb::kKill, 42, UINT64_MAX}};
    for (const Good& g : accepted) {
        auto r = ParseHelperRequest(g.line);
        ASSERT_TRUE(r) << g.line;
        EXPECT_EQ(r->verb, g.verb);
        EXPECT_EQ(r->pid, g.pid);
        EXPECT_EQ(r->startTime, g.start);
        EXPECT_EQ(FormatHelperRequest(*r), g.line + "\n");
    }
}

TEST(HelperPath, EveryByteSurvivesOnOneLine) {
    std::string path = "/opt/a b/%41\n\t\x7f\xc3\xa4/x";
    path += '\0';
    std::string encoded = EncodeHelperPath(path);
    EXPECT_EQ(encoded.find_first_of(" \n\t\x7f"s + '\0'), std::string::npos);
    std::string back;
    ASSERT_TRUE(DecodeHelperPath(encoded, back));
    EXPECT_EQ(back, path);
    for (const char* bad : {"%4", "%", "%zz", "%4g", "a b", "a\nb"})
        EXPECT_FALSE(DecodeHelperPath(bad, back)) << bad;
}

TEST(HelperReply, OkFieldsErrCodesAndGarbage) {
    std::string fields;
    int err = 0;
    EXPECT_TRUE(ParseHelperReply("ok", fields, err));
    EXPECT_EQ(fields, "");
    EXPECT_TRUE(ParseHelperReply("ok 1 2", fields, err));
    EXPECT_EQ(fields, "1 2");
    EXPECT_FALSE(ParseHelperReply("err 3", fields, err));
    EXPECT_EQ(err, ESRCH);
    for (const char* bad : {"", "okay", "err", "err x", "err 0", "err -1", "ERR 3"}) {
        EXPECT_FALSE(ParseHelperReply(bad, fields, err)) << bad;
        EXPECT_EQ(err, EPROTO) << bad;
    }
}

// Records what the session asked of the system.
class CRecordingSystem : public IHelperSystem {
public:
    std::vector<std::string> calls;
    bool ReadIo(std::uint32_t pid, std::uint64_t& r, std::uint64_t& w, int&) override {
        calls.push_back("io " + std::to_string(pid));
        r = 5;
        w = 6;
        return true;
    }
    bool ReadExe(std::uint32_t pid, std::string& path, int&) override {
        calls.push_back("exe " + std::to_string(pid));
        path = "/opt/a b";
        return true;
    }
    bool ReadSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes, int&) override {
        calls.push_back("sockets " + std::to_string(pid));
        inodes.assign(pid, 18446744073709551615ull);  // as many as the id says
        return true;
    }
    bool Kill(std::uint32_t pid, std::uint64_t start, int& err) override {
        calls.push_back("kill " + std::to_string(pid) + " " + std::to_string(start));
        err = ESRCH;
        return false;
    }
};

TEST(HelperSession, AnswersEveryLineAndActsOnValidOnesOnly) {
    CRecordingSystem system;
    CHelperSession session(system);
    std::string out = session.Feed("io 7\nexe 8\nkill 9 3\n");
    EXPECT_EQ(out, "ok 5 6\nok /opt/a%20b\nerr 3\n");
    out = session.Feed("io 0\nio /etc/shadow\nio 5\0\n"s + "kill 1\n");
    EXPECT_EQ(out, "err 22\nerr 22\nerr 22\nerr 22\n");
    // Overlong: one error at its end, however it arrives, and no action.
    out = session.Feed("io " + std::string(5000, '1'));
    out += session.Feed(std::string(70, '1') + "\nio 1");
    EXPECT_EQ(out, "err 7\n");
    out = session.Feed("2\n");  // a line may arrive in pieces
    EXPECT_EQ(out, "ok 5 6\n");
    // Input closed mid-line: the piece is never acted on.
    EXPECT_EQ(session.Feed("kill 5 1"), "");
    EXPECT_EQ(system.calls, (std::vector<std::string>{"io 7", "exe 8", "kill 9 3", "io 12"}));
    // A socket list is cut to what one reply may hold.
    CHelperSession lists(system);
    EXPECT_EQ(lists.Feed("sockets 2\n"), "ok 18446744073709551615 18446744073709551615\n");
    std::string many = lists.Feed("sockets 5000\n");
    EXPECT_LE(many.size(), kMaxHelperReply);
    EXPECT_EQ(std::count(many.begin(), many.end(), ' '), static_cast<long>(kMaxHelperSockets));
}
}  // namespace
