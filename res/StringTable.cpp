#include "res/StringTable.h"

#include "res/AboutText.h"

namespace {
struct Entry {
    unsigned id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {1000, "Path and filename were copied into the clipboard. You can paste them in the \"File open\" dialog."},
    {1001, "Loadwatch"},
    {1002, "Program"},
    {1003, "Activity"},
    {1008, "Hard disk"},
    {1009, "Network"},
    {1010, "Processor"},
    {1016, "Program closed"},
    {1019, "Close program %s - Are you sure?"},
    {1020, "Terminate program %s - Are you sure?\n\nUnsaved changes will be lost!"},
    {1021, "Uninstall program %s - Are you sure?"},
    {1022, "Close program - Are you sure?"},
    {1024, "http://localhost:8642/index.php?lang=en&"},
    {1025, "No data. Please create a connection to the internet."},
    {1026, "Please choose a program."},
    {1027, "Inf&o about..."},
    {1028, kAboutText},
    {1029, "Checking digital signature"},
    {1030, "Loading the details of this program..."},
    {1031, "%s (%i processes)"},
    {1032, "%s (its short-lived programs)"},
    {1033, "<p><b>The program file was replaced or deleted since this program started.</b> What follows "
           "describes the file now at its place, if there is one.</p>"},
    {1034, "<p><b>This program was started from memory: it has no program file.</b></p>"},
    {1035, "Processor: %s of one core\nHard disk: read %s, write %s\nNetwork: received %s, sent %s"},
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
