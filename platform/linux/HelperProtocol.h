#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The privileged helper's protocol: one request line in, one reply line out,
// each ended by '\n'. Requests carry numbers only:
//   io PID          -> "ok READ_BYTES WRITE_BYTES"   (/proc/PID/io)
//   exe PID         -> "ok PATH"                    (/proc/PID/exe, encoded)
//   kill PID START  -> "ok"   SIGKILL, only to the process of that id whose
//                             start time (stat field 22) is START
//   sockets PID     -> "ok INODE ..."  the sockets in /proc/PID/fd, at most
//                                      kMaxHelperSockets of them
// Any failure answers "err ERRNO". PID is 1 to 4194304 (the kernel's
// largest), START a 64-bit count, written in decimal without sign, leading
// zeros or blanks other than one between fields.
inline constexpr std::size_t kMaxHelperRequest = 64;  // bytes, with the '\n'
inline constexpr std::size_t kMaxHelperReply = 16384;
inline constexpr std::uint32_t kMaxPid = 4194304;
// 20 digits and a blank each still fit one reply.
inline constexpr std::size_t kMaxHelperSockets = 700;

struct HelperRequest {
    enum class Verb { kIo, kExe, kKill, kSockets };
    Verb verb = Verb::kIo;
    std::uint32_t pid = 0;
    std::uint64_t startTime = 0;  // kKill only
};

// A request line without its '\n'; nullopt for anything malformed.
std::optional<HelperRequest> ParseHelperRequest(std::string_view line);
// The line for a request, '\n' included.
std::string FormatHelperRequest(const HelperRequest& request);

// Paths travel with bytes below 0x21, '%' and 0x7F as %XX, so a reply is
// one line of one field whatever the file name holds.
std::string EncodeHelperPath(std::string_view path);
bool DecodeHelperPath(std::string_view text, std::string& path);

// A reply line without its '\n': true for "ok" with its fields in
// `fields` ("" for none); false for "err N" (errno = N) or anything else
// (errno = EPROTO).
bool ParseHelperReply(std::string_view line, std::string& fields, int& error);
