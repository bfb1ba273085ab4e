#pragma once
#include <cstdint>
#include <string>

// The pieces of an "scheme://host[:port][/object]" URL.
struct UrlParts {
    std::string scheme;  // with its colon and both slashes: "http://"
    std::string host;
    std::string base;         // scheme, host and port: "http://host:8642"
    std::string port;         // the port as written; empty if none
    std::uint16_t nPort = 0;  // its value; 0 if none
    std::string object;       // behind the host's "/": "index.php?lang=en&"
    std::string path;         // the object before its first "?"
    std::string query;        // the object behind its first "?"
    std::string folder;       // the path before its last "/" or "\"
    std::string file;         // the path behind it (the whole path if none)
};

// Splits url into parts. Only schemes of three or four characters (http,
// ftp) are accepted; https, a missing host and a port that is not a number
// from 1 to 65535 are rejected. parts is filled only on success.
bool ParseUrl(const std::string& url, UrlParts& parts);
