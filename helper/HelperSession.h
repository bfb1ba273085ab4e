#pragma once
#include <string>
#include <string_view>

class IHelperSystem;

// The helper's side of its protocol (platform/linux/HelperProtocol.h): cuts
// the bytes from stdin into lines, acts on each valid request and answers
// every complete line with one reply line. A line longer than the protocol
// allows is answered once, at its end, with an error and is never acted on;
// a line cut short by the end of input is dropped.
class CHelperSession {
public:
    explicit CHelperSession(IHelperSystem& system) : m_system(system) {}
    // The replies to write for the lines these bytes complete.
    std::string Feed(std::string_view bytes);

private:
    std::string Answer(std::string_view line);

    IHelperSystem& m_system;
    std::string m_line;
    bool m_overlong = false;
};
