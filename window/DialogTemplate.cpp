#include "window/DialogTemplate.h"

#include "window/ControlIds.h"

namespace {
using K = ControlKind;
constexpr ControlTemplate kControls[] = {
    {IDC_LABEL_PROGRAMS, K::Label, "These programs use resources:", {7, 7, 132, 8}},
    {IDC_LINK_ELEVATE, K::Link, "(Also show system processes.)", {140, 7, 107, 8}},
    {IDC_FREEZE, K::CheckBox, "Freeze", {383, 7, 37, 10}},
    {IDC_LINK_HOME, K::Link, "2026 loadwatch.example.org", {484, 7, 90, 8}, true},
    {IDC_LIST, K::List, "", {7, 17, 567, 109}},
    {IDC_LABEL_DETAILS, K::Label, "Details about the selected program:", {7, 133, 195, 8}},
    {IDC_HTML, K::Html, "", {7, 144, 376, 305}},
    {IDC_LABEL_ACTIONS, K::Label, "Actions:", {390, 134, 31, 8}},
    {IDC_PROPERTIES, K::Button, "Program properties...", {390, 144, 90, 14}},
    {IDC_OPEN_FOLDER, K::Button, "Open folder...", {484, 144, 90, 14}},
    {IDC_CLOSE_PROGRAM, K::Button, "Close program...", {484, 162, 90, 14}},
    {IDC_TERMINATE, K::Button, "Terminate process...", {390, 180, 90, 14}},
    {IDC_UNINSTALL, K::Button, "Uninstall program...", {484, 180, 90, 14}},
    {IDC_SCAN_1, K::Button, "Scan at Kaspersky...", {390, 198, 90, 14}},
    {IDC_SCAN_2, K::Button, "Scan at VirusTotal...", {484, 198, 90, 14}},
    {IDC_LABEL_PROMO, K::Label, "Also from us:", {390, 277, 41, 8}},
    {IDC_PROMO_ICON_1, K::ClickIcon, "131", {390, 294, 20, 20}},
    {IDC_PROMO_TITLE_1, K::Link, "Diskwatch", {415, 296, 159, 8}},
    {IDC_PROMO_TEXT_1,
     K::ClickText,
     "Which files fill the disk: the largest folders at a glance.",
     {415, 305, 159, 35}},
    {IDC_PROMO_ICON_2, K::ClickIcon, "131", {390, 349, 20, 20}},
    {IDC_PROMO_TITLE_2, K::Link, "Startwatch", {415, 350, 159, 8}},
    {IDC_PROMO_TEXT_2,
     K::ClickText,
     "What starts with the desktop, and how long each part takes.",
     {415, 358, 159, 35}},
    {IDC_PROMO_ICON_3, K::ClickIcon, "132", {390, 404, 20, 20}},
    {IDC_PROMO_TITLE_3, K::Link, "Netwatch", {415, 405, 159, 8}},
    {IDC_PROMO_TEXT_3, K::ClickText, "Which programs talk to the network right now.", {415, 414, 159, 35}},
};
}  // namespace

std::span<const ControlTemplate> DialogTemplate() { return kControls; }

const ControlTemplate* FindControlTemplate(int id) {
    for (const ControlTemplate& c : kControls)
        if (c.id == id) return &c;
    return nullptr;
}
