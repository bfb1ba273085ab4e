#pragma once
#include <string>
#include <string_view>

// Text made safe for a page: & < > " ' become entities; bytes that are not
// well-formed UTF-8, control characters other than tab and newline (C1
// included) and bidirectional controls become U+FFFD, so a hostile value can neither add markup nor break the
// page's encoding.
std::string HtmlEscape(std::string_view text);

// An http or https address fit for an href (escaped); empty for anything
// else, so that no other scheme reaches a link.
std::string SafeLinkTarget(std::string_view url);
