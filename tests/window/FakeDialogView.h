#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "monitor/MemoryReportList.h"
#include "window/DialogView.h"

// A dialog held in memory: it keeps what the behaviour sets. What workers
// post waits here until the test runs it, as the event loop would.
class CFakeDialogView : public IDialogView {
public:
    CMemoryReportList list;
    std::set<int> enabled;
    std::set<int> checked;
    std::string title = "Loadwatch";
    std::string html;
    std::vector<std::string> shownPages;  // every SetHtml, in order

    void Post(std::function<void()> task) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_posted.push_back(std::move(task));
        }
        m_arrived.notify_all();
    }
    // Runs what has been posted so far; how many tasks ran.
    int RunPosted() {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            tasks.swap(m_posted);
        }
        for (auto& task : tasks) task();
        return static_cast<int>(tasks.size());
    }
    // Waits until something is posted, then runs it.
    void WaitAndRunPosted() {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_arrived.wait(lock, [this] { return !m_posted.empty(); });
        }
        RunPosted();
    }
    // Runs posted tasks until done() holds.
    void RunUntil(const std::function<bool()>& done) {
        while (!done()) WaitAndRunPosted();
    }

    IReportList& List() override { return list; }
    void InsertListColumn(int, const std::string&, int) override {}
    void EnableControl(int id, bool enable) override {
        if (enable)
            enabled.insert(id);
        else
            enabled.erase(id);
    }
    void ShowControl(int, bool) override {}
    bool IsChecked(int id) const override { return checked.count(id) != 0; }
    void SetBold(int) override {}
    void SetLinkNotify(int, unsigned) override {}
    std::string GetTitle() const override { return title; }
    void SetTitle(const std::string& t) override { title = t; }
    std::string GetHtml() const override { return html; }
    void SetHtml(const std::string& h) override {
        html = h;
        shownPages.push_back(h);
    }
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
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

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<std::function<void()>> m_posted;
};
