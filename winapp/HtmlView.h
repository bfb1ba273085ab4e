#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/windows/Win32.h"
#include "winapp/HtmlDocument.h"

// The details panel: a window class that shows its window text as HTML,
// drawn with GDI, scrolled vertically. The text is kept by the system as
// any window's (GetWindowText returns it unchanged); links open in the
// browser.
class CHtmlView {
public:
    static constexpr const char* kClassName = "QHTM_Window_Class_001";
    // Once per program, before a dialog uses the class.
    static bool Register(HINSTANCE instance);

private:
    // A laid-out piece of text: where it stands in the document.
    struct Piece {
        RECT rect;  // document coordinates
        std::string text;
        const HtmlRun* style;
    };

    explicit CHtmlView(HWND window) : m_window(window) {}
    ~CHtmlView();
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Reparse();
    void Layout(HDC dc);
    void Paint();
    void ScrollTo(int pos);
    HFONT Font(const HtmlRun& run, int heading);
    const Piece* PieceAt(POINT client) const;

    HWND m_window;
    std::vector<HtmlBlock> m_blocks;
    std::vector<Piece> m_pieces;
    std::vector<int> m_pieceHeading;  // per piece: its block's heading level
    std::map<int, HFONT> m_fonts;     // by style key
    int m_layoutWidth = -1;
    int m_height = 0;
    int m_scroll = 0;
};
