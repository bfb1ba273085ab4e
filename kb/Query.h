#pragma once
#include <string>
#include <string_view>

// What a details panel tells the knowledge base about one program file,
// decoded. Texts are raw bytes as the client sent them: escape before use.
struct KbQuery {
    std::string fileName;         // fn
    std::string folder;           // p
    std::string fileCreated;      // ct1
    std::string folderCreated;    // ct2
    std::string processStart;     // ct3
    bool isSigned = false;        // se: the file matches its package's checksum
    bool inSystemFolder = false;  // iwf
    std::string productName;      // pn
    std::string fileVersion;      // fv
    std::string fileDescription;  // fd
    std::string companyName;      // cn
    std::string legalCopyright;   // lc
    std::string comments;         // c
    std::string internalName;     // in
    std::string clientVersion;    // v
    long folderStamp = 0;         // wd

    // folder + "/" + fileName: the path as the client saw it.
    std::string Path() const;
};

// Longest request target and decoded value that are accepted: the client
// builds its query in 8 KiB, so anything near that is not ours.
constexpr std::size_t kMaxTargetBytes = 6 * 1024;
constexpr std::size_t kMaxValueBytes = 2 * 1024;

// Parses the query part of a request target ("/index.php?lang=en&fn=...").
// Every key of the client's query must be present exactly once; unknown keys
// are ignored. On failure returns false and a short reason for a 400 page:
// a missing or repeated key, a malformed %-escape, an overlong value, a NUL,
// a flag that is not 0 or 1, a file name holding a "/".
bool ParseKbQuery(std::string_view target, KbQuery& query, std::string& error);

// Decodes %xx escapes (either letter case) and "+" as a blank; false on a
// "%" not followed by two hex digits.
bool PercentDecode(std::string_view text, std::string& out);
