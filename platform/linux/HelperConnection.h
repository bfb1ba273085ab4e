#pragma once
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/PrivilegedHelper.h"
#include "platform/linux/UniqueFd.h"

// The privileged helper as an attached child: started through pkexec (which
// refuses callers that are not its parent), spoken to over one socket that
// is its stdin and stdout. Closing the socket ends it. While it runs this
// process is not dumpable, so no other process of the user can trace it or
// take the socket from it.
class CHelperConnection : public IPrivilegedHelper {
public:
    struct Options {
        // The program and its arguments; the helper alone runs it unprivileged.
        std::vector<std::string> command;
        // How long one reply may take before the helper counts as broken.
        int replyTimeoutMs = 2000;
    };
    // pkexec and the helper.
    static Options PkexecOptions(const std::string& helperPath = DefaultHelperPath());
    // The installed helper; when there is none, the one built beside this
    // program in the build tree (<build>/helper/loadwatch-helper).
    static std::string DefaultHelperPath();

    explicit CHelperConnection(Options options);
    ~CHelperConnection() override;
    CHelperConnection(const CHelperConnection&) = delete;
    CHelperConnection& operator=(const CHelperConnection&) = delete;

    // Waits, without a time limit, for the helper's first line: pkexec may
    // be asking the user for a password. pkexec's 126 (dismissed) and 127
    // (not authorised, or no agent to ask) are kRefused.
    StartResult Start() override;
    // False as soon as the helper has ended or closed its side, even with no
    // question asked since.
    bool IsRunning() const override { return m_socket.Valid() && !HungUp(); }
    // Sends one request line ('\n' included) and returns the reply without
    // its '\n'; nullopt when the helper does not run or broke down (it is
    // then stopped, and IsRunning() turns false).
    std::optional<std::string> Ask(const std::string& request);
    void Stop();

private:
    bool HungUp() const;
    // Non-dumpable while a helper runs; the previous state back after.
    void Guard(bool on);
    bool ReadLine(std::string& line, int timeoutMs);
    void ReapExited();

    Options m_options;
    UniqueFd m_socket;
    pid_t m_child = -1;
    std::vector<pid_t> m_exited;  // stopped helpers not reaped yet
    std::string m_pending;        // bytes read past the last line
    int m_dumpableBefore = -1;    // -1 while not guarded
};
