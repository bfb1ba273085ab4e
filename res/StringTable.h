#pragma once
#include <string>
#include <string_view>

// The program's own user texts, by resource id. Null if the id is unknown.
const char* FindStringResource(unsigned id);

// Text of the string table entry id; empty if there is none.
std::string LoadText(unsigned id);

// Resource ids of the string table.
enum : unsigned {
    IDS_CLIPBOARD_NOTICE = 1000,
    IDS_TITLE = 1001,
    IDS_COLUMN_PROGRAM = 1002,
    IDS_COLUMN_ACTIVITY = 1003,
    IDS_HARD_DISK = 1008,
    IDS_NETWORK = 1009,
    IDS_PROCESSOR = 1010,
    IDS_PROGRAM_CLOSED = 1016,
    IDS_CONFIRM_CLOSE = 1019,
    IDS_CONFIRM_TERMINATE = 1020,
    IDS_CONFIRM_UNINSTALL = 1021,
    IDS_CONFIRM_EXIT = 1022,
    IDS_KB_BASE_URL = 1024,
    IDS_NO_DATA = 1025,
    IDS_CHOOSE_PROGRAM = 1026,
    IDS_MENU_ABOUT = 1027,
    IDS_ABOUT = 1028,
    IDS_CHECKING_SIGNATURE = 1029,
    IDS_LOADING_DETAILS = 1030,
    IDS_ENDED_COUNT = 1031,
    IDS_SHORT_LIVED = 1032,
    IDS_FILE_REPLACED = 1033,
    IDS_NO_FILE = 1034,
    IDS_AMOUNTS = 1035,
};

// The program's version as shown after its title.
inline constexpr std::string_view kVersion = "1.13";
