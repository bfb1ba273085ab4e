#pragma once
#include <functional>
#include <set>
#include <string>

#include "monitor/MemoryReportList.h"
#include "window/DialogView.h"

// A dialog held in memory: it keeps what the behaviour sets.
class CFakeDialogView : public IDialogView {
public:
    CMemoryReportList list;
    std::set<int> enabled;
    std::string title = "Loadwatch";
    std::string html;
    std::function<void()> onPump;  // the events a pump handles

    IReportList& List() override { return list; }
    void InsertListColumn(int, const std::string&, int) override {}
    void EnableControl(int id, bool enable) override {
        if (enable)
            enabled.insert(id);
        else
            enabled.erase(id);
    }
    void ShowControl(int, bool) override {}
    bool IsChecked(int) const override { return false; }
    void SetBold(int) override {}
    void SetLinkNotify(int, unsigned) override {}
    std::string GetTitle() const override { return title; }
    void SetTitle(const std::string& t) override { title = t; }
    std::string GetHtml() const override { return html; }
    void SetHtml(const std::string& h) override { html = h; }
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
    void PumpMessages() override {
        if (onPump) onPump();
    }
    void AddAboutEntry(const std::string&) override {}
    void ShowInformation(const std::string&, const std::string&) override {}
    Size GetDesktopSize() const override { return {4000, 3000}; }
    Rect GetCtrlRect(int) const override { return {}; }
    void MoveCtrl(int, const Rect&) override {}
    bool IsTrayAvailable() const override { return false; }
    void HideWindow() override {}
    void ShowWindow() override {}
    void MinimizeWindow() override {}
    void AnimateTray(bool) override {}
    void AddTrayIcon(const std::string&) override {}
    void RemoveTrayIcon() override {}
};
