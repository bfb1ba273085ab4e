#include "window/DialogTemplate.h"

#include "actions/PromotionPanel.h"
#include "actions/ScanHandOff.h"
#include "window/ControlIds.h"

namespace {
using K = ControlKind;
constexpr ControlTemplate kControls[] = {
    {IDC_LABEL_PROGRAMS, K::Label, "These programs use resources:", {7, 7, 132, 8}},
    {IDC_LINK_ELEVATE, K::Link, "(Also show system processes.)", {140, 7, 107, 8}},
    {IDC_FREEZE, K::CheckBox, "Freeze", {383, 7, 37, 10}},
    {IDC_LINK_HOME, K::Link, kHomeLink.text, {484, 7, 90, 8}, true},
    {IDC_LIST, K::List, "", {7, 17, 567, 109}},
    {IDC_LABEL_DETAILS, K::Label, "Details about the selected program:", {7, 133, 195, 8}},
    {IDC_HTML, K::Html, "", {7, 144, 376, 305}},
    {IDC_LABEL_ACTIONS, K::Label, "Actions:", {390, 134, 31, 8}},
    {IDC_PROPERTIES, K::Button, "Program properties...", {390, 144, 90, 14}},
    {IDC_OPEN_FOLDER, K::Button, "Open folder...", {484, 144, 90, 14}},
    {IDC_CLOSE_PROGRAM, K::Button, "Close program...", {484, 162, 90, 14}},
    {IDC_TERMINATE, K::Button, "Terminate process...", {390, 180, 90, 14}},
    {IDC_UNINSTALL, K::Button, "Uninstall program...", {484, 180, 90, 14}},
    {IDC_SCAN_1, K::Button, kKasperskyScan.caption, {390, 198, 90, 14}},
    {IDC_SCAN_2, K::Button, kVirusTotalScan.caption, {484, 198, 90, 14}},
    {IDC_LABEL_PROMO, K::Label, "Also from us:", {390, 277, 41, 8}},
    {IDC_PROMO_ICON_1, K::ClickIcon, "", {390, 294, 20, 20}, false, kPromotionEntries[0].icon},
    {IDC_PROMO_TITLE_1, K::Link, kPromotionEntries[0].title, {415, 296, 159, 8}},
    {IDC_PROMO_TEXT_1, K::ClickText, kPromotionEntries[0].description, {415, 305, 159, 35}},
    {IDC_PROMO_ICON_2, K::ClickIcon, "", {390, 349, 20, 20}, false, kPromotionEntries[1].icon},
    {IDC_PROMO_TITLE_2, K::Link, kPromotionEntries[1].title, {415, 350, 159, 8}},
    {IDC_PROMO_TEXT_2, K::ClickText, kPromotionEntries[1].description, {415, 358, 159, 35}},
    {IDC_PROMO_ICON_3, K::ClickIcon, "", {390, 404, 20, 20}, false, kPromotionEntries[2].icon},
    {IDC_PROMO_TITLE_3, K::Link, kPromotionEntries[2].title, {415, 405, 159, 8}},
    {IDC_PROMO_TEXT_3, K::ClickText, kPromotionEntries[2].description, {415, 414, 159, 35}},
};
}  // namespace

std::span<const ControlTemplate> DialogTemplate() { return kControls; }

const ControlTemplate* FindControlTemplate(int id) {
    for (const ControlTemplate& c : kControls)
        if (c.id == id) return &c;
    return nullptr;
}
