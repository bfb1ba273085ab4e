#pragma once

// Control ids of the main dialog's template. Each run counts up from its
// first id; the promotion entries' texts and icons stay one run, as the
// Win32 dialog takes clicks on them by range.
enum : int {
    IDC_LIST = 1000,

    IDC_PROPERTIES = 1002,
    IDC_OPEN_FOLDER,
    IDC_CLOSE_PROGRAM,
    IDC_TERMINATE,
    IDC_SCAN_1,
    IDC_SCAN_2,
    IDC_UNINSTALL,

    IDC_LINK_HOME = 1010,
    IDC_HTML,
    IDC_LINK_ELEVATE,
    IDC_LABEL_PROGRAMS,
    IDC_LABEL_DETAILS,
    IDC_FREEZE,
    IDC_LABEL_ACTIONS,
    IDC_PROMO_TITLE_1,
    IDC_PROMO_TITLE_2,
    IDC_PROMO_TITLE_3,
    IDC_LABEL_PROMO,
    IDC_PROMO_TEXT_1,
    IDC_PROMO_TEXT_2,
    IDC_PROMO_TEXT_3,
    IDC_PROMO_ICON_1,
    IDC_PROMO_ICON_2,
    IDC_PROMO_ICON_3,
};

// The ids the dialog's timer handler receives: its own two timers and the
// notify ids of the five links.
enum : unsigned {
    kRefreshTimer = 100,
    kAutostartTimer,

    kNotifyHome = 10000,
    kNotifyElevate,

    kNotifyPromotion1 = 20001,
    kNotifyPromotion2,
    kNotifyPromotion3,
};

inline constexpr unsigned kRefreshPeriodMs = 1000;
inline constexpr unsigned kAutostartDelayMs = 100;

// The action buttons, in the order they are disabled together.
inline constexpr int kActionButtons[] = {IDC_PROPERTIES, IDC_OPEN_FOLDER, IDC_CLOSE_PROGRAM, IDC_TERMINATE,
                                         IDC_UNINSTALL,  IDC_SCAN_1,      IDC_SCAN_2};
