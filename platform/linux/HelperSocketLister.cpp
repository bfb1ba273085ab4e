#include "platform/linux/HelperSocketLister.h"

#include <charconv>
#include <string_view>

#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperProtocol.h"

bool CHelperSocketLister::Available() { return m_helper.IsRunning(); }

bool CHelperSocketLister::ListSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes) {
    std::optional<std::string> reply =
        m_helper.Ask(FormatHelperRequest({HelperRequest::Verb::kSockets, pid, 0}));
    std::string fields;
    int err = 0;
    if (!reply || !ParseHelperReply(*reply, fields, err)) return false;
    std::string_view rest(fields);
    while (!rest.empty()) {
        std::size_t blank = rest.find(' ');
        std::string_view field = rest.substr(0, blank);
        std::uint64_t inode = 0;
        auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), inode);
        if (ec != std::errc() || end != field.data() + field.size()) return false;
        inodes.push_back(inode);
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    }
    return true;
}
