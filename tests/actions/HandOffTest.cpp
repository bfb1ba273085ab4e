#include <gtest/gtest.h>

#include <algorithm>

#include "actions/PromotionPanel.h"
#include "actions/ScanHandOff.h"
#include "monitor/Process.h"
#include "tests/fakes/FakeActionHost.h"
#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/FakeDesktop.h"

namespace {
const char kNotice[] =
    "notice:Path and filename were copied into the clipboard. You can paste them in the \"File open\" "
    "dialog.";

struct HandOff : ::testing::Test {
    CallLog log;
    CFakeActionHost host{log};
    CFakeClipboard clipboard{log};
    CFakeDesktop desktop{log};
    CScanHandOff scan{host, clipboard, desktop};
    CProcess record;
    HandOff() { record.m_strPath = "/opt/my app/app bin"; }
};

TEST_F(HandOff, PathToClipboardThenNoticeThenServicePage) {
    for (auto [button, url] : {std::pair{&CScanHandOff::OnScanWithKaspersky, kKasperskyScan.url},
                               {&CScanHandOff::OnScanWithVirusTotal, kVirusTotalScan.url}}) {
        log.clear();
        clipboard.text = "previous content";
        (scan.*button)(&record);
        EXPECT_EQ(clipboard.text, "/opt/my app/app bin");
        EXPECT_EQ(log, (CallLog{"clipboard", kNotice, std::string("url:") + url}));
        EXPECT_EQ(host.lastCaption, "Loadwatch 1.13");
    }
}

TEST_F(HandOff, BusyClipboardStillNoticesAndOpensNothingSelectedDoesNothing) {
    clipboard.busy = true;
    scan.OnScanWithVirusTotal(&record);
    EXPECT_EQ(clipboard.text, "previous content");
    EXPECT_EQ(log, (CallLog{"clipboard", kNotice, std::string("url:") + kVirusTotalScan.url}));
    log.clear();
    scan.OnScanWithKaspersky(nullptr);
    CProcess noPath;
    scan.OnScanWithKaspersky(&noPath);
    EXPECT_TRUE(log.empty());
}

TEST(Promotion, EverySourceOpensItsPageOncePerClick) {
    CallLog log;
    CFakeDesktop desktop{log};
    CPromotionPanel panel{desktop};
    const int pageOf[][2] = {{20001, 1}, {1021, 1},  {1024, 1}, {20002, 2}, {1022, 2},
                             {1025, 2},  {20003, 3}, {1023, 3}, {1026, 3}};
    for (auto [id, page] : pageOf) {
        log.clear();
        EXPECT_TRUE(panel.OnSourceClicked(id)) << id;
        EXPECT_EQ(log, CallLog{std::string("url:") + kPromotionEntries[page - 1].url}) << id;
    }
    log.clear();
    for (int id : {0, 1020, 1027, 20000, 20004, 10001}) EXPECT_FALSE(panel.OnSourceClicked(id)) << id;
    panel.OpenPromotionPage(0);
    panel.OpenPromotionPage(4);
    EXPECT_TRUE(log.empty());
}

TEST(Promotion, ADoubleClickOpensTwiceOnATitleOnceElsewhere) {
    // Pages opened by the two clicks of a double-click on each source.
    const int opened[][2] = {{20001, 2}, {20002, 2}, {20003, 2}, {1021, 1}, {1023, 1},
                             {1024, 1},  {1026, 1},  {1017, 0},  {10000, 0}};
    for (auto [id, pages] : opened) {
        CallLog log;
        CFakeDesktop desktop{log};
        CPromotionPanel panel{desktop};
        panel.OnSourceClicked(id);
        if (PromotionSecondClickOpens(id)) panel.OnSourceClicked(id);
        EXPECT_EQ(static_cast<int>(log.size()), pages) << id;
    }
}

TEST(Promotion, EntriesAreDistinctAndMarkedAsComingFromUs) {
    for (int i = 0; i < 3; ++i) {
        std::string url = kPromotionEntries[i].url;
        EXPECT_TRUE(url.ends_with("?fromldwt")) << url;
        EXPECT_EQ(std::count(url.begin(), url.end(), '?'), 1) << url;
        EXPECT_NE(url, kPromotionEntries[(i + 1) % 3].url);
    }
}
}  // namespace
