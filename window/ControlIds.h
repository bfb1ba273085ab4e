#pragma once

// Control ids of the main dialog's template, and the ids its timer handler
// receives: its own two timers and the notify ids of the five links.
enum : int {
    IDC_LIST = 1000,
    IDC_PROPERTIES = 1002,
    IDC_OPEN_FOLDER = 1003,
    IDC_CLOSE_PROGRAM = 1004,
    IDC_TERMINATE = 1005,
    IDC_SCAN_1 = 1006,
    IDC_SCAN_2 = 1007,
    IDC_UNINSTALL = 1008,
    IDC_LINK_HOME = 1010,
    IDC_HTML = 1011,
    IDC_LINK_ELEVATE = 1012,
    IDC_LABEL_PROGRAMS = 1013,
    IDC_LABEL_DETAILS = 1014,
    IDC_FREEZE = 1015,
    IDC_LABEL_ACTIONS = 1016,
    IDC_PROMO_TITLE_1 = 1017,
    IDC_PROMO_TITLE_2 = 1018,
    IDC_PROMO_TITLE_3 = 1019,
    IDC_LABEL_PROMO = 1020,
    IDC_PROMO_TEXT_1 = 1021,
    IDC_PROMO_TEXT_2 = 1022,
    IDC_PROMO_TEXT_3 = 1023,
    IDC_PROMO_ICON_1 = 1024,
    IDC_PROMO_ICON_2 = 1025,
    IDC_PROMO_ICON_3 = 1026,
};

enum : unsigned {
    kRefreshTimer = 100,
    kAutostartTimer = 101,
    kRefreshPeriodMs = 1000,
    kAutostartDelayMs = 100,
    kNotifyHome = 10000,
    kNotifyElevate = 10001,
    kNotifyPromotion1 = 20001,
    kNotifyPromotion2 = 20002,
    kNotifyPromotion3 = 20003,
};

// The action buttons, in the order they are disabled together.
inline constexpr int kActionButtons[] = {IDC_PROPERTIES, IDC_OPEN_FOLDER, IDC_CLOSE_PROGRAM, IDC_TERMINATE,
                                         IDC_UNINSTALL,  IDC_SCAN_1,      IDC_SCAN_2};
