#pragma once
#include <string>
#include <string_view>

// The program's own user texts, by resource id. Null if the id is unknown.
const char* FindStringResource(unsigned id);

// Text of the string table entry id; empty if there is none.
std::string LoadText(unsigned id);

// Resource ids of the string table. Each run counts up from its first id;
// the gaps are ids retired with their texts.
enum : unsigned {
    IDS_CLIPBOARD_NOTICE = 1000,
    IDS_TITLE,
    IDS_COLUMN_PROGRAM,
    IDS_COLUMN_ACTIVITY,

    IDS_HARD_DISK = 1008,
    IDS_NETWORK,
    IDS_PROCESSOR,

    IDS_PROGRAM_CLOSED = 1016,

    IDS_CONFIRM_CLOSE = 1019,
    IDS_CONFIRM_TERMINATE,
    IDS_CONFIRM_UNINSTALL,
    IDS_CONFIRM_EXIT,

    IDS_KB_BASE_URL = 1024,
    IDS_NO_DATA,
    IDS_CHOOSE_PROGRAM,
    IDS_MENU_ABOUT,
    IDS_ABOUT,
    IDS_CHECKING_SIGNATURE,
    IDS_LOADING_DETAILS,
    IDS_ENDED_COUNT,
    IDS_SHORT_LIVED,
    IDS_FILE_REPLACED,
    IDS_NO_FILE,
    IDS_AMOUNTS,
};

// The program's version as shown after its title.
inline constexpr std::string_view kVersion = "1.13";
