#include "controls/HyperLink.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QTimerEvent>

namespace {
QColor ToQColor(ColorRef c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
ColorRef ToColorRef(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

// What a screen reader is told: a link, named by its text, that it can
// follow; a plain label would read as static text.
class CHyperLinkAccessible : public QAccessibleWidget {
public:
    explicit CHyperLinkAccessible(CHyperLink* link) : QAccessibleWidget(link, QAccessible::Link) {}
    QString text(QAccessible::Text t) const override {
        auto* link = static_cast<CHyperLink*>(widget());
        if (t == QAccessible::Name && link->accessibleName().isEmpty()) return link->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true;
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) static_cast<CHyperLink*>(widget())->FollowLink();
    }
};

QAccessibleInterface* HyperLinkAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("CHyperLink") && object && object->isWidgetType())
        return new CHyperLinkAccessible(static_cast<CHyperLink*>(object));
    return nullptr;
}
}  // namespace

CHyperLink::CHyperLink(QWidget* parent) : CHyperLink(QString(), parent) {}

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent) {
    static const bool accessible = (QAccessible::installFactory(HyperLinkAccessible), true);
    (void)accessible;
    // A caption is shown as written, never as markup.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    UpdateColour();
}

void CHyperLink::PreSubclassWindow() {
    if (m_strLinkUrl.isEmpty()) m_strLinkUrl = text();
    if (text().isEmpty()) setText(m_strLinkUrl);

    m_fontLink = font();
    m_fontLink.setUnderline((m_dwLinkStyle & HLS_UNDERLINE) != 0);
    m_fontLink.setWeight(QFont::Bold);
    setFont(m_fontLink);
    FitToText();

    if (!(m_dwLinkStyle & HLS_NOHANDCURSOR)) setCursor(LoadHandCursor());
    setToolTip(m_strTip.isEmpty() ? m_strLinkUrl : m_strTip);
    UpdateColour();
}

void CHyperLink::SetNotify(QObject* target, unsigned id, const QString& tip) {
    m_pNotifyWnd = target;
    m_nNotifyId = id;
    m_strTip = tip;
    if (tip.isEmpty())
        setToolTip(m_strLinkUrl);
    else if (tip == QLatin1String("-"))
        setToolTip(QString());
    else
        setToolTip(tip);
}

void CHyperLink::FollowLink() {
    if (!m_pNotifyWnd) return;
    QTimerEvent event(static_cast<int>(m_nNotifyId));
    QCoreApplication::sendEvent(m_pNotifyWnd, &event);
}

void CHyperLink::FitToText() {
    if (!(m_dwLinkStyle & HLS_FITTOTEXT)) return;
    QRect r = geometry();
    const int frameWidth = width() - contentsRect().width();
    const int frameHeight = height() - contentsRect().height();

    const QSize text = QFontMetrics(m_fontLink).size(0, this->text());
    const int w = text.width() + 20;
    const int h = text.height();

    // The halvings truncate toward zero, so an odd difference leaves one pixel.
    if (alignment() & Qt::AlignVCenter) {
        const int d = (r.height() - h) / 2;
        r.adjust(0, d, 0, -d);
    } else {
        r.setHeight(h);
    }
    if (alignment() & Qt::AlignHCenter) {
        const int d = (r.width() - w) / 2;
        r.adjust(d, 0, -d, 0);
    } else if (alignment() & Qt::AlignRight) {
        r.setLeft(r.right() + 1 - w);
    } else {
        r.setWidth(w);
    }
    setGeometry(r.left(), r.top(), r.width() + frameWidth, r.height() + frameHeight);
}

ColorRef CHyperLink::GetTextColour() const {
    if (m_bHover && (m_dwLinkStyle & HLS_HOVERCOLOUR)) return s_crHover;
    if (m_bActive && !(m_dwLinkStyle & HLS_NOACTIVECOLOUR)) return s_crActive;
    if (m_bFollowed) return s_crFollowed;
    if (m_bBlendColour) return BlendColours(s_crLink, ToColorRef(palette().color(QPalette::Button)));
    return s_crLink;
}

QCursor CHyperLink::LoadHandCursor() { return QCursor(Qt::PointingHandCursor); }

// The colours follow the mouse (hover) and the focus (active); losing the
// focus ends both.
bool CHyperLink::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::Enter:
        case QEvent::Leave:
            m_bHover = event->type() == QEvent::Enter;
            break;
        case QEvent::FocusIn:
            m_bActive = true;
            break;
        case QEvent::FocusOut:
            m_bHover = m_bActive = false;
            break;
        default:
            return QLabel::event(event);
    }
    UpdateColour();
    return QLabel::event(event);
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
    if (m_dwLinkStyle & HLS_FOCUSONCLICK) setFocus(Qt::MouseFocusReason);
    if (m_dwLinkStyle & HLS_FOLLOWONDOWN) FollowLink();
    m_bActive = true;
    UpdateColour();
    event->accept();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mouseReleaseEvent(event);
    // A release dragged off the link is no click on it.
    if (m_bActive && !(m_dwLinkStyle & HLS_FOLLOWONDOWN) && rect().contains(event->position().toPoint()))
        FollowLink();
    event->accept();
}

void CHyperLink::keyPressEvent(QKeyEvent* event) {
    // Every press counts, auto-repeated ones too.
    if (event->key() == Qt::Key_Space) {
        FollowLink();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CHyperLink::UpdateColour() {
    QPalette pal = palette();
    const QColor colour = ToQColor(GetTextColour());
    for (auto group : {QPalette::Active, QPalette::Inactive})
        pal.setColor(group, QPalette::WindowText, colour);
    setPalette(pal);
}
