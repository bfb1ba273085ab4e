#include "window/FitToScreen.h"

#include <algorithm>

#include "window/ControlIds.h"

namespace {
Rect Get(const std::map<int, Rect>& controls, int id) {
    auto it = controls.find(id);
    return it == controls.end() ? Rect{} : it->second;
}
}  // namespace

FitResult FitToScreen(Size window, Size desktop, const std::map<int, Rect>& controls) {
    FitResult result;
    int w = window.cx;
    int h = window.cy;
    if (w <= desktop.cx && h <= desktop.cy - 20) return result;
    if (w > desktop.cx) w = desktop.cx - 15;
    if (h > desktop.cy - 20) h = desktop.cy - 40;
    result.moved = true;
    result.window = {(desktop.cx - w) / 2, (desktop.cy - h) / 2, w, h};

    const Rect list = Get(controls, IDC_LIST);
    const int l = list.x;
    const int a = Get(controls, IDC_PROPERTIES).width;
    const int b = Get(controls, IDC_OPEN_FOLDER).width;
    auto place = [&](int id, auto change) {
        auto it = controls.find(id);
        if (it == controls.end()) return;
        Rect r = it->second;
        change(r);
        result.controls[id] = r;
    };
    place(IDC_LIST, [&](Rect& r) { r.width = w - 2 * l; });
    place(IDC_HTML, [&](Rect& r) {
        r.width = w - 3 * l - a - b;
        r.height = h - r.y - l - 28;
    });
    place(IDC_LINK_HOME, [&](Rect& r) { r.x = w - l - r.width; });

    const int x1 = w - b - a - l;
    const int x2 = w - b - l;
    // Each promotion entry moves as a whole, its icon to the left column:
    // putting icon, title and text at one x would stack them on each other.
    constexpr int kEntries[][3] = {{IDC_PROMO_ICON_1, IDC_PROMO_TITLE_1, IDC_PROMO_TEXT_1},
                                   {IDC_PROMO_ICON_2, IDC_PROMO_TITLE_2, IDC_PROMO_TEXT_2},
                                   {IDC_PROMO_ICON_3, IDC_PROMO_TITLE_3, IDC_PROMO_TEXT_3}};
    int panelTop = h;
    for (const auto& entry : kEntries) {
        const int dx = x1 - Get(controls, entry[0]).x;
        for (int id : entry)
            place(id, [&](Rect& r) {
                r.x += dx, r.y -= 110;
                panelTop = std::min(panelTop, r.y);
            });
    }
    // The heading goes up less than the entries; it stays just above them.
    place(IDC_LABEL_PROMO, [&](Rect& r) { r.x = x1, r.y = std::min(r.y - 85, panelTop - r.height - 2); });
    for (int id : {IDC_LABEL_ACTIONS, IDC_PROPERTIES, IDC_TERMINATE, IDC_SCAN_1})
        place(id, [&](Rect& r) { r.x = x1; });
    for (int id : {IDC_OPEN_FOLDER, IDC_CLOSE_PROGRAM, IDC_SCAN_2, IDC_UNINSTALL})
        place(id, [&](Rect& r) { r.x = x2; });
    return result;
}
