#pragma once
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <cstdint>

#include "monitor/ReportList.h"

// A static text turned into a link: bold and underlined in link colours,
// with the hand cursor and a tooltip; it takes the focus on a press and is
// followed on the release or with the space bar. In notify mode following
// it sends the target, synchronously, a timer event whose id is the link's
// notify id; that is the only mode built.
//
// Set up: give the label its text, alignment, font and place, then call
// PreSubclassWindow (link font, fitted size, cursor, tooltip), then SetNotify.
// Alignment works as on a static text: Qt::AlignRight or Qt::AlignHCenter
// choose which edge the fitted size keeps, Qt::AlignVCenter centres the
// height on the old one; otherwise the top edge stays.
class CHyperLink : public QLabel {
    Q_OBJECT
public:
    static constexpr std::uint32_t HLS_UNDERLINE = 0x01;
    static constexpr std::uint32_t HLS_HOVERCOLOUR = 0x02;
    static constexpr std::uint32_t HLS_FITTOTEXT = 0x04;
    static constexpr std::uint32_t HLS_FOLLOWONDOWN = 0x08;
    static constexpr std::uint32_t HLS_FOCUSONCLICK = 0x10;
    static constexpr std::uint32_t HLS_NOHANDCURSOR = 0x20;
    static constexpr std::uint32_t HLS_NOACTIVECOLOUR = 0x40;

    static constexpr ColorRef s_crLink = Rgb(0, 0, 255);
    static constexpr ColorRef s_crActive = Rgb(0, 128, 128);
    static constexpr ColorRef s_crFollowed = Rgb(128, 0, 128);
    static constexpr ColorRef s_crHover = Rgb(255, 0, 0);

    explicit CHyperLink(QWidget* parent = nullptr);
    explicit CHyperLink(const QString& text, QWidget* parent = nullptr);

    void PreSubclassWindow();
    // Notify mode: following the link sends `target` a timer event with
    // `id`. The tooltip becomes the address for an empty tip, nothing for
    // "-", else the tip.
    void SetNotify(QObject* target, unsigned id, const QString& tip);
    void FollowLink();
    // Sizes the link to its text plus 20 pixels of width.
    void FitToText();

    // The link style is 0x15 (underline, fit to text, focus on click); the
    // other options exist for completeness and are off in this program.
    std::uint32_t GetLinkStyle() const { return m_dwLinkStyle; }
    void SetLinkStyle(std::uint32_t style) { m_dwLinkStyle = style; }

    // The colour the text is drawn in now.
    ColorRef GetTextColour() const;
    static QCursor LoadHandCursor();
    // The per-channel average, rounded down.
    static constexpr ColorRef BlendColours(ColorRef a, ColorRef b) {
        return ((a & 0xFEFEFE) + (b & 0xFEFEFE)) >> 1;
    }

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateColour();

    bool m_bBlendColour = false;
    bool m_bActive = false;
    bool m_bHover = false;
    bool m_bFollowed = false;
    std::uint32_t m_dwLinkStyle = HLS_UNDERLINE | HLS_FITTOTEXT | HLS_FOCUSONCLICK;
    QPointer<QObject> m_pNotifyWnd;
    unsigned m_nNotifyId = 0;
    QString m_strLinkUrl;
    QString m_strTip;
    QFont m_fontLink;
};
