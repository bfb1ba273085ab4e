#pragma once
#include <algorithm>
#include <string>

// What every HTTP client accepts as a request's target, whatever library
// carries it.

// Host names and IPv4 addresses only: nothing that could change the meaning
// of the request (user info, a path, a port of its own).
inline bool IsPlainHost(const std::string& host) {
    if (host.empty()) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '-' || c == '_';
    });
}

// Printable ASCII without a fragment mark: a control byte could end the
// request line early and smuggle in a header of its own.
inline bool IsPlainObject(const std::string& object) {
    return std::all_of(object.begin(), object.end(), [](char c) {
        auto b = static_cast<unsigned char>(c);
        return b > 0x20 && b < 0x7f && c != '#';
    });
}
