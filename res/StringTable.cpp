#include "res/StringTable.h"

#include "res/AboutText.h"

namespace {
struct Entry {
    unsigned id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {IDS_CLIPBOARD_NOTICE,
     "Path and filename were copied into the clipboard. You can paste them in the \"File open\" dialog."},
    {IDS_TITLE, "Loadwatch"},
    {IDS_COLUMN_PROGRAM, "Program"},
    {IDS_COLUMN_ACTIVITY, "Activity"},
    {IDS_HARD_DISK, "Hard disk"},
    {IDS_NETWORK, "Network"},
    {IDS_PROCESSOR, "Processor"},
    {IDS_PROGRAM_CLOSED, "Program closed"},
    {IDS_CONFIRM_CLOSE, "Close program %s - Are you sure?"},
    {IDS_CONFIRM_TERMINATE, "Terminate program %s - Are you sure?\n\nUnsaved changes will be lost!"},
    {IDS_CONFIRM_UNINSTALL, "Uninstall program %s - Are you sure?"},
    {IDS_CONFIRM_EXIT, "Close program - Are you sure?"},
    {IDS_KB_BASE_URL, "http://localhost:8642/index.php?lang=en&"},
    {IDS_NO_DATA, "No data. Please create a connection to the internet."},
    {IDS_CHOOSE_PROGRAM, "Please choose a program."},
    {IDS_MENU_ABOUT, "Inf&o about..."},
    {IDS_ABOUT, kAboutText},
    {IDS_CHECKING_SIGNATURE, "Checking digital signature"},
    {IDS_LOADING_DETAILS, "Loading the details of this program..."},
    {IDS_ENDED_COUNT, "%s (%i processes)"},
    {IDS_SHORT_LIVED, "%s (its short-lived programs)"},
    {IDS_FILE_REPLACED,
     "<p><b>The program file was replaced or deleted since this program started.</b> What follows "
     "describes the file now at its place, if there is one.</p>"},
    {IDS_NO_FILE, "<p><b>This program was started from memory: it has no program file.</b></p>"},
    {IDS_AMOUNTS, "Processor: %s of one core\nHard disk: read %s, write %s\nNetwork: received %s, sent %s"},
};
}  // namespace

const char* FindStringResource(unsigned id) {
    for (const Entry& e : kStrings)
        if (e.id == id) return e.text;
    return nullptr;
}

std::string LoadText(unsigned id) {
    const char* text = FindStringResource(id);
    return text ? std::string(text) : std::string();
}
