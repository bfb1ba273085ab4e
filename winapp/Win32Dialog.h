#pragma once
#include <map>
#include <string>

#include "actions/ActionHost.h"
#include "platform/windows/Win32.h"
#include "winapp/HandCursor.h"
#include "winapp/HyperLink.h"
#include "winapp/Win32ReportList.h"
#include "window/DialogView.h"
#include "window/LoadwatchWindow.h"

// The main dialog on Win32: resource template 102, run modeless so the
// program's own loop can pump while a question is open and the window can
// hide in the notification area. What the dialog does lives in
// CLoadwatchWindow; this class is its view, and the owner of the actions'
// questions.
class CWin32Dialog : public IDialogView, public IActionHost {
public:
    static constexpr UINT kTrayMessage = WM_USER;
    static constexpr UINT kTrayIconId = 42;
    static constexpr UINT kAboutCommand = 16;

    CWin32Dialog(HINSTANCE instance, WindowPlatform platform);
    ~CWin32Dialog() override;

    // Creates the window from the template and initialises it; null on
    // failure.
    HWND Create(bool fromAutostart);
    // Runs the message loop until the dialog has ended; its exit code.
    int Run();
    // Ends the dialog: the loop returns exitCode.
    void End(int exitCode);

    HWND Handle() const { return m_hwnd; }
    CLoadwatchWindow& Window() { return m_window; }
    CWin32ReportList& ReportList() { return m_list; }
    // The link control of a link id; null for any other id.
    const CHyperLink* Link(int id) const;

    // IDialogView
    IReportList& List() override { return m_list; }
    void InsertListColumn(int column, const std::string& heading, int width) override;
    void EnableControl(int id, bool enable) override;
    void ShowControl(int id, bool show) override;
    bool IsChecked(int id) const override;
    void SetBold(int id) override;
    void SetLinkNotify(int id, unsigned notifyId) override;
    std::string GetTitle() const override;
    void SetTitle(const std::string& title) override;
    std::string GetHtml() const override;
    void SetHtml(const std::string& html) override;
    void SetTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override;
    void PumpMessages() override;
    void AddAboutEntry(const std::string& text) override;
    void ShowInformation(const std::string& caption, const std::string& text) override;
    Size GetDesktopSize() const override;
    Rect GetCtrlRect(int id) const override;
    void MoveCtrl(int id, const Rect& rect) override;
    bool IsTrayAvailable() const override { return true; }
    void HideWindow() override;
    void ShowWindow() override;
    void MinimizeWindow() override;
    void AnimateTray(bool toTray) override;
    void AddTrayIcon(const std::string& tip) override;
    void RemoveTrayIcon() override;

    // IActionHost
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowNotice(const std::string& caption, const std::string& text) override;
    bool IsShiftDown() override;
    void FlashElevationLink() override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    INT_PTR OnNotify(const NMHDR& header);
    // Handles one message the way the dialog's loop does.
    void Dispatch(MSG& msg);

    HINSTANCE m_instance;
    HWND m_hwnd = nullptr;
    bool m_fromAutostart = false;
    bool m_ended = false;
    int m_exitCode = 0;
    HICON m_iconBig = nullptr;
    HICON m_iconSmall = nullptr;
    HCURSOR m_hand = nullptr;
    HFONT m_fontBold = nullptr;
    CWin32ReportList m_list;
    std::map<int, CHyperLink> m_links;
    // The promotion panel's descriptions and icons.
    std::map<int, CHandCursor> m_clickables;
    RECT m_lastWindowRect{};
    // Constructed last: it works through the members above.
    CLoadwatchWindow m_window;
};
