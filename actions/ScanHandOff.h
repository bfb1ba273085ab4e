#pragma once

class CProcess;
class IActionHost;
class IClipboard;
class IDesktop;

// An online virus-scan service: the caption of its button and the page
// where the user uploads a file.
struct ScanService {
    const char* caption;
    const char* url;
};
inline constexpr ScanService kKasperskyScan{"=> kaspersky.com...", "https://opentip.kaspersky.com/"};
inline constexpr ScanService kVirusTotalScan{"=> virustotal.com",
                                             "https://www.virustotal.com/gui/home/upload"};

// The two virus-scan buttons. Nothing is uploaded from here: the program's
// path goes to the clipboard, a notice says so, and once it is closed the
// service's page opens for the user to paste the path into its file dialog.
class CScanHandOff {
public:
    CScanHandOff(IActionHost& host, IClipboard& clipboard, IDesktop& desktop);
    void OnScanWithKaspersky(const CProcess* selected) { HandOff(selected, kKasperskyScan); }
    void OnScanWithVirusTotal(const CProcess* selected) { HandOff(selected, kVirusTotalScan); }
    // The notice is shown, and the page opened, whether or not the clipboard
    // took the path.
    void HandOff(const CProcess* selected, const ScanService& service);

private:
    IActionHost& m_host;
    IClipboard& m_clipboard;
    IDesktop& m_desktop;
};
