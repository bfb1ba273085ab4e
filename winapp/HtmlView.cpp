#include "winapp/HtmlView.h"

#include <algorithm>
#include <cstring>

#include "winapp/WindowText.h"
// after Win32.h
#include <shellapi.h>

namespace {
constexpr int kMargin = 6;
constexpr int kIndent = 16;
constexpr COLORREF kLinkColor = RGB(0, 0, 204);

bool IsWebAddress(const std::string& href) {
    // A page from the network never makes this program run a file.
    return href.rfind("http://", 0) == 0 || href.rfind("https://", 0) == 0;
}

// Pages are UTF-8 whatever the system's code page.
std::wstring Wide(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

SIZE Measure(HDC dc, const std::string& text) {
    SIZE size{};
    const std::wstring wide = Wide(text);
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}
}  // namespace

bool CHtmlView::Register(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CHtmlView::~CHtmlView() {
    for (auto& [key, font] : m_fonts) ::DeleteObject(font);
}

LRESULT CALLBACK CHtmlView::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CHtmlView*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = new CHtmlView(window);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        // The vertical scroll bar comes and goes with the document's length.
        ::SetWindowLongPtrA(window, GWL_STYLE, ::GetWindowLongPtrA(window, GWL_STYLE) | WS_VSCROLL);
    }
    if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = self->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete self;
    }
    return result;
}

LRESULT CHtmlView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT: {
            LRESULT r = ::DefWindowProcA(m_window, message, wParam, lParam);
            Reparse();
            return r;
        }
        case WM_SIZE:
            m_layoutWidth = -1;
            return 0;
        case WM_SETFONT:
            for (auto& [key, font] : m_fonts) ::DeleteObject(font);
            m_fonts.clear();
            m_layoutWidth = -1;
            return ::DefWindowProcA(m_window, message, wParam, lParam);
        case WM_PAINT:
            Paint();
            return 0;
        case WM_VSCROLL: {
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_ALL;
            ::GetScrollInfo(m_window, SB_VERT, &si);
            int pos = m_scroll;
            const int line = 16;
            switch (LOWORD(wParam)) {
                case SB_LINEUP:
                    pos -= line;
                    break;
                case SB_LINEDOWN:
                    pos += line;
                    break;
                case SB_PAGEUP:
                    pos -= static_cast<int>(si.nPage);
                    break;
                case SB_PAGEDOWN:
                    pos += static_cast<int>(si.nPage);
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION:
                    pos = si.nTrackPos;
                    break;
                case SB_TOP:
                    pos = 0;
                    break;
                case SB_BOTTOM:
                    pos = m_height;
                    break;
            }
            ScrollTo(pos);
            return 0;
        }
        case WM_MOUSEWHEEL:
            ScrollTo(m_scroll - GET_WHEEL_DELTA_WPARAM(wParam) * 48 / WHEEL_DELTA);
            return 0;
        case WM_LBUTTONDOWN:
            ::SetFocus(m_window);
            return 0;
        case WM_SETCURSOR: {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(m_window, &p);
            const Piece* piece = PieceAt(p);
            if (LOWORD(lParam) == HTCLIENT && piece && !piece->style->href.empty()) {
                ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONUP: {
            const Piece* piece =
                PieceAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            if (piece && IsWebAddress(piece->style->href))
                ::ShellExecuteA(m_window, "open", piece->style->href.c_str(), nullptr, nullptr,
                                SW_SHOWNORMAL);
            return 0;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (wParam == VK_DOWN)
                ScrollTo(m_scroll + 16);
            else if (wParam == VK_UP)
                ScrollTo(m_scroll - 16);
            return 0;
    }
    return ::DefWindowProcA(m_window, message, wParam, lParam);
}

void CHtmlView::Reparse() {
    m_blocks = ParseHtml(WindowText(m_window));
    m_pieces.clear();
    m_layoutWidth = -1;
    m_scroll = 0;
}

HFONT CHtmlView::Font(const HtmlRun& run, int heading) {
    const int key = (run.bold ? 1 : 0) | (run.italic ? 2 : 0) | (run.mono ? 4 : 0) | (run.small ? 8 : 0) |
                    (!run.href.empty() ? 16 : 0) | heading << 5;
    auto it = m_fonts.find(key);
    if (it != m_fonts.end()) return it->second;
    LOGFONTA lf{};
    HFONT base = reinterpret_cast<HFONT>(::SendMessageA(m_window, WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::GetObjectA(base, sizeof(lf), &lf);
    if (lf.lfHeight == 0) lf.lfHeight = -11;
    if (heading > 0) lf.lfHeight = lf.lfHeight * (heading <= 3 ? 14 : 12) / 10;
    if (run.small) lf.lfHeight = lf.lfHeight * 85 / 100;
    lf.lfWeight = run.bold || heading > 0 ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = run.italic;
    lf.lfUnderline = !run.href.empty();
    if (run.mono) {
        std::strcpy(lf.lfFaceName, "Courier New");
        lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    }
    HFONT font = ::CreateFontIndirectA(&lf);
    m_fonts[key] = font;
    return font;
}

void CHtmlView::Layout(HDC dc) {
    RECT client;
    ::GetClientRect(m_window, &client);
    const int width = client.right;
    if (width == m_layoutWidth) return;
    m_layoutWidth = width;
    m_pieces.clear();
    m_pieceHeading.clear();
    const int right = std::max(width - kMargin, kMargin + 40);

    // The first column of every table row is as wide as its widest label,
    // up to a third of the panel.
    int labelWidth = 0;
    for (const HtmlBlock& block : m_blocks)
        if (block.kind == HtmlBlock::kTableRow && block.cells.size() > 1)
            for (const HtmlRun& run : block.cells[0]) {
                ::SelectObject(dc, Font(run, 0));
                labelWidth = std::max(labelWidth, static_cast<int>(Measure(dc, run.text).cx));
            }
    labelWidth = std::min(labelWidth + 8, (right - kMargin) / 3);

    int y = kMargin;
    for (const HtmlBlock& block : m_blocks) {
        const int heading = block.kind == HtmlBlock::kHeading ? block.level : 0;
        int blockBottom = y;
        for (std::size_t c = 0; c < block.cells.size(); ++c) {
            int left = kMargin;
            int cellRight = right;
            if (block.kind == HtmlBlock::kListItem) left += kIndent * block.level;
            if (block.kind == HtmlBlock::kTableRow && block.cells.size() > 1) {
                left = c == 0 ? kMargin : kMargin + labelWidth;
                if (c == 0) cellRight = kMargin + labelWidth - 8;
            }
            int x = left, lineTop = y, lineHeight = 0;
            if (block.kind == HtmlBlock::kListItem && c == 0) {
                static const HtmlRun kBullet{"\xE2\x80\xA2", false, false, false, false, {}};
                ::SelectObject(dc, Font(kBullet, 0));
                const SIZE s = Measure(dc, kBullet.text);
                m_pieces.push_back(
                    {{left - kIndent + 4, y, left - kIndent + 4 + s.cx, y + s.cy}, kBullet.text, &kBullet});
                m_pieceHeading.push_back(0);
            }
            for (const HtmlRun& run : block.cells[c]) {
                ::SelectObject(dc, Font(run, heading));
                std::size_t i = 0;
                while (i < run.text.size()) {
                    if (run.text[i] == '\n') {
                        lineTop += std::max(lineHeight, static_cast<int>(Measure(dc, "X").cy));
                        x = left;
                        lineHeight = 0;
                        ++i;
                        continue;
                    }
                    // A word with the blank after it.
                    std::size_t end = run.text.find_first_of(" \n", i);
                    if (end == std::string::npos)
                        end = run.text.size();
                    else if (run.text[end] == ' ')
                        ++end;
                    const std::string word = run.text.substr(i, end - i);
                    const SIZE s = Measure(dc, word);
                    if (x + s.cx > cellRight && x > left) {
                        lineTop += lineHeight;
                        x = left;
                        lineHeight = 0;
                        if (word == " ") {
                            i = end;
                            continue;
                        }
                    }
                    m_pieces.push_back({{x, lineTop, x + s.cx, lineTop + s.cy}, word, &run});
                    m_pieceHeading.push_back(heading);
                    x += s.cx;
                    lineHeight = std::max(lineHeight, static_cast<int>(s.cy));
                    i = end;
                }
            }
            blockBottom = std::max(blockBottom, lineTop + lineHeight);
        }
        const bool tight = block.kind == HtmlBlock::kTableRow || block.kind == HtmlBlock::kListItem;
        y = blockBottom + (tight ? 2 : 8);
    }
    m_height = y + kMargin;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = m_height;
    si.nPage = static_cast<UINT>(client.bottom);
    ::SetScrollInfo(m_window, SB_VERT, &si, TRUE);
}

void CHtmlView::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_window, &ps);
    HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    Layout(dc);
    RECT client;
    ::GetClientRect(m_window, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < m_pieces.size(); ++i) {
        const Piece& p = m_pieces[i];
        if (p.rect.bottom - m_scroll < ps.rcPaint.top || p.rect.top - m_scroll > ps.rcPaint.bottom) continue;
        ::SelectObject(dc, Font(*p.style, m_pieceHeading[i]));
        ::SetTextColor(dc, p.style->href.empty() ? ::GetSysColor(COLOR_WINDOWTEXT) : kLinkColor);
        const std::wstring wide = Wide(p.text);
        ::TextOutW(dc, p.rect.left, p.rect.top - m_scroll, wide.c_str(), static_cast<int>(wide.size()));
    }
    ::SelectObject(dc, oldFont);
    ::EndPaint(m_window, &ps);
}

void CHtmlView::ScrollTo(int pos) {
    RECT client;
    ::GetClientRect(m_window, &client);
    pos = std::clamp(pos, 0, std::max(0, m_height - static_cast<int>(client.bottom)));
    if (pos == m_scroll) return;
    m_scroll = pos;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = pos;
    ::SetScrollInfo(m_window, SB_VERT, &si, TRUE);
    ::InvalidateRect(m_window, nullptr, FALSE);
}

const CHtmlView::Piece* CHtmlView::PieceAt(POINT client) const {
    const POINT doc{client.x, client.y + m_scroll};
    for (const Piece& p : m_pieces)
        if (::PtInRect(&p.rect, doc)) return &p;
    return nullptr;
}
