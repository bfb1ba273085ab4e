#pragma once

class IDesktop;

// One entry of the "Also from us:" panel: title, description and icon all
// open the same page. Icons are resource ids.
struct PromotionEntry {
    const char* title;
    const char* description;
    unsigned icon;
    const char* url;
};

inline constexpr PromotionEntry kPromotionEntries[3] = {
    {"Portwatch", "Which programs talk to the network, and to whom.", 131,
     "https://loadwatch.example.org/en/produkte/Portwatch.php?fromldwt"},
    {"Startwatch", "What starts with the computer, and what it costs.", 131,
     "https://loadwatch.example.org/en/produkte/Startwatch.php?fromldwt"},
    {"Spacewatch", "Which folders fill the disk, and since when.", 132,
     "https://loadwatch.example.org/en/produkte/Spacewatch.php?fromldwt"},
};

// The home-page link at the top right of the main window: its text and the
// product's own page.
struct HomeLink {
    const char* text;
    const char* url;
};
inline constexpr HomeLink kHomeLink{"loadwatch.example.org",
                                    "https://loadwatch.example.org/en/produkte/Loadwatch.php?fromldwt"};

// Page 1 to 3 of a click source: the title links' notify ids 20001-20003,
// the descriptions' ids 1021-1023 and the icons' ids 1024-1026; 0 for any
// other id.
int PromotionPageOfSource(int id);

// Whether the second click of a double-click on a source opens its page
// again. A title link follows every button release, so a double-click on it
// opens the page twice; on a description or an icon the second click is a
// double-click notification, which opens nothing. False for any other id.
bool PromotionSecondClickOpens(int id);

// The promotion panel's clicks, and the home-page link's.
class CPromotionPanel {
public:
    explicit CPromotionPanel(IDesktop& desktop) : m_desktop(desktop) {}
    // Opens page 1 to 3 in the browser, once per call; any other is ignored.
    void OpenPromotionPage(int page);
    // Opens the page of a click source; false if the id is not one.
    bool OnSourceClicked(int id);
    void OpenHomePage();

private:
    IDesktop& m_desktop;
};
