#include "actions/ScanHandOff.h"

#include <string>

#include "actions/ActionHost.h"
#include "actions/MessageCaption.h"
#include "monitor/Process.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "res/StringTable.h"

CScanHandOff::CScanHandOff(IActionHost& host, IClipboard& clipboard, IDesktop& desktop)
    : m_host(host), m_clipboard(clipboard), m_desktop(desktop) {}

void CScanHandOff::HandOff(const CProcess* selected, const ScanService& service) {
    // A record without a path has nothing to hand over (its buttons are
    // disabled); a notice claiming a copy would be false.
    if (!selected || selected->m_strPath.empty()) return;
    m_clipboard.SetText(selected->m_strPath);
    m_host.ShowNotice(MessageCaption(), LoadText(IDS_CLIPBOARD_NOTICE));
    m_desktop.OpenUrl(service.url);
}
