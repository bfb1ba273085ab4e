#pragma once
#include <array>
#include <cstddef>
#include <string_view>

// The keys of the knowledge base's query, in the order the client writes
// them. The client and the server both read this table, so neither can ask
// for or expect a key the other does not know.
enum QueryKey : std::size_t {
    kFileNameKey,
    kFolderKey,
    kFileCreatedKey,
    kFolderCreatedKey,
    kProcessStartKey,
    kSignedKey,
    kInSystemFolderKey,
    kProductNameKey,
    kFileVersionKey,
    kFileDescriptionKey,
    kCompanyNameKey,
    kLegalCopyrightKey,
    kCommentsKey,
    kInternalNameKey,
    kClientVersionKey,
    kFolderStampKey,
    kQueryKeyCount
};
inline constexpr std::array<std::string_view, kQueryKeyCount> kQueryKeys = {
    "fn", "p", "ct1", "ct2", "ct3", "se", "iwf", "pn", "fv", "fd", "cn", "lc", "c", "in", "v", "wd"};
