#include "app/LoadwatchDlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include "actions/PromotionPanel.h"
#include "app/ClickableLabel.h"
#include "app/Icons.h"
#include "app/LinkFlash.h"
#include "app/NotifyRelay.h"
#include "app/TrayAnimation.h"
#include "controls/HyperLink.h"
#include "controls/QHtmWnd.h"
#include "controls/ReportCtrl.h"
#include "window/ControlIds.h"
#include "window/DialogTemplate.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

QFont DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(kDialogFontPoints);
    return font;
}

DialogBaseUnits MeasureBaseUnits(const QFont& font) {
    const QFontMetrics fm(font);
    return BaseUnitsFromFont(
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        fm.height());
}

QRect ToQRect(const Rect& r) { return QRect(r.x, r.y, r.width, r.height); }
Rect FromQRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
}  // namespace

CLoadwatchDlg::CLoadwatchDlg(WindowPlatform platform, QWidget* parent)
    // An application window, not a dialog: a window manager keeps a
    // dialog with the program's other windows (transient for its group),
    // so it would leave the task bar and could not be minimised alone.
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_window(*this, platform) {
    setFont(DialogFont());
    m_baseUnits = MeasureBaseUnits(font());
    setWindowTitle(QString::fromLatin1(kDialogCaption));
    setWindowIcon(LoadIconResource(128));
    const Size size = MapDialogSize(kDialogSizeDlu, m_baseUnits);
    setFixedSize(size.cx, size.cy);
    m_relay = new CNotifyRelay([this](unsigned id) { m_window.OnTimer(id); }, this);
    CreateControls();

    m_trayIcon = new QSystemTrayIcon(LoadIconResource(128), this);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Qt reports a left button as Trigger and a right one as Context
        // (on XEmbed trays at the press); a double-click's rest changes nothing.
        // Restoring hides the icon, and on XEmbed that frees the icon's
        // widget, which is still delivering this very press: so it waits
        // until the event has returned.
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
            QMetaObject::invokeMethod(
                this, [this] { m_window.OnTrayIconClicked(); }, Qt::QueuedConnection);
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive || state == Qt::ApplicationInactive) m_window.OnActivateApp();
    });
}

CLoadwatchDlg::~CLoadwatchDlg() = default;

void CLoadwatchDlg::CreateControls() {
    const QCursor hand = LoadHandCursor();
    for (const ControlTemplate& c : DialogTemplate()) {
        const QString text = QString::fromUtf8(c.text);
        QWidget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::Label: {
                auto* label = new QLabel(text, this);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                widget = label;
                break;
            }
            case ControlKind::Link: {
                auto* link = new CHyperLink(text, this);
                if (c.rightAligned) link->setAlignment(Qt::AlignRight | Qt::AlignTop);
                widget = link;
                break;
            }
            case ControlKind::CheckBox:
                widget = new QCheckBox(text, this);
                break;
            case ControlKind::List: {
                m_list = new CReportCtrl(this);
                connect(m_list, &CReportCtrl::itemChanged, this, [this](int) { m_window.OnListNotify(); });
                connect(m_list, &CReportCtrl::itemClicked, this,
                        [this](int, int) { m_window.OnListNotify(); });
                widget = m_list;
                break;
            }
            case ControlKind::Html:
                widget = m_html = new CQHtmWnd(this);
                break;
            case ControlKind::Button: {
                auto* button = new QPushButton(text, this);
                button->setEnabled(false);
                button->setAutoDefault(false);
                connect(button, &QPushButton::clicked, this, [this, id = c.id] { m_window.OnCommand(id); });
                widget = button;
                break;
            }
            case ControlKind::ClickText:
            case ControlKind::ClickIcon: {
                auto* label = new CClickableLabel(this);
                if (c.kind == ControlKind::ClickText) {
                    label->setText(text);
                    label->setTextFormat(Qt::PlainText);
                    label->setWordWrap(true);
                    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                }
                label->setCursor(hand);
                connect(label, &CClickableLabel::clicked, this,
                        [this, id = c.id] { m_window.OnCommand(id); });
                connect(label, &CClickableLabel::doubleClicked, this, [this, id = c.id] {
                    if (PromotionSecondClickOpens(id)) m_window.OnCommand(id);
                });
                widget = label;
                break;
            }
        }
        widget->setGeometry(ToQRect(MapDialogRect(c.dlu, m_baseUnits)));
        if (c.kind == ControlKind::ClickIcon)
            static_cast<QLabel*>(widget)->setPixmap(LoadIconPixmap(static_cast<int>(c.icon), widget->size()));
        if (c.kind == ControlKind::Link) {
            auto* link = static_cast<CHyperLink*>(widget);
            link->PreSubclassWindow();
            link->setCursor(hand);
        }
        m_controls[c.id] = widget;
    }
    // A screen reader names a picture only by what it is told.
    for (auto [icon, title] :
         {std::pair{IDC_PROMO_ICON_1, IDC_PROMO_TITLE_1}, std::pair{IDC_PROMO_ICON_2, IDC_PROMO_TITLE_2},
          std::pair{IDC_PROMO_ICON_3, IDC_PROMO_TITLE_3}})
        Control(icon)->setAccessibleName(static_cast<QLabel*>(Control(title))->text());
}

QWidget* CLoadwatchDlg::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CLoadwatchDlg::InitDialog(bool fromAutostart) {
    m_window.OnInitDialog(fromAutostart);
    // Not moved by the fit: Qt centres the dialog in the work area when it
    // is first shown.
}

bool CLoadwatchDlg::IsTimerActive(unsigned id) const {
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

IReportList& CLoadwatchDlg::List() { return *m_list; }

void CLoadwatchDlg::InsertListColumn(int column, const std::string& heading, int width) {
    m_list->InsertColumn(column, heading, CReportCtrl::LVCFMT_LEFT, width);
}

void CLoadwatchDlg::EnableControl(int id, bool enable) {
    if (QWidget* w = Control(id)) w->setEnabled(enable);
}

void CLoadwatchDlg::ShowControl(int id, bool show) {
    if (QWidget* w = Control(id)) w->setVisible(show);
}

bool CLoadwatchDlg::IsChecked(int id) const {
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    return box && box->isChecked();
}

void CLoadwatchDlg::SetBold(int id) {
    if (QWidget* w = Control(id)) {
        QFont f = w->font();
        f.setBold(true);
        w->setFont(f);
    }
}

void CLoadwatchDlg::SetLinkNotify(int id, unsigned notifyId) {
    if (auto* link = qobject_cast<CHyperLink*>(Control(id))) link->SetNotify(m_relay, notifyId, QString());
}

std::string CLoadwatchDlg::GetTitle() const { return windowTitle().toStdString(); }

void CLoadwatchDlg::SetTitle(const std::string& title) { setWindowTitle(Q(title)); }

std::string CLoadwatchDlg::GetHtml() const { return m_html->GetWindowText(); }

void CLoadwatchDlg::SetHtml(const std::string& html) {
    m_html->SetWindowText(html);
    m_html->viewport()->update();
}

void CLoadwatchDlg::SetTimer(unsigned id, unsigned periodMs) {
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { m_window.OnTimer(id); });
    }
    timer->start(static_cast<int>(periodMs));
}

void CLoadwatchDlg::KillTimer(unsigned id) {
    auto it = m_timers.find(id);
    if (it != m_timers.end()) it->second->stop();
}

void CLoadwatchDlg::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void CLoadwatchDlg::AddAboutEntry(const std::string& text) {
    if (!m_about) {
        m_about = new QAction(this);
        // The keyboard's way to it; the context menu is the mouse's.
        m_about->setShortcut(QKeySequence(Qt::Key_F1));
        m_about->setShortcutContext(Qt::WindowShortcut);
        connect(m_about, &QAction::triggered, this, [this] { m_window.OnAbout(); });
        addAction(m_about);
    }
    m_about->setText(Q(text));
}

void CLoadwatchDlg::ShowInformation(const std::string& caption, const std::string& text) {
    QMessageBox::information(this, Q(caption), Q(text));
}

Size CLoadwatchDlg::GetDesktopSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    return {screen->geometry().width(), screen->geometry().height()};
}

Rect CLoadwatchDlg::GetCtrlRect(int id) const {
    if (id == 0) return FromQRect(frameGeometry());
    QWidget* w = Control(id);
    return w ? FromQRect(w->geometry()) : Rect{};
}

void CLoadwatchDlg::MoveCtrl(int id, const Rect& rect) {
    if (id != 0) {
        if (QWidget* w = Control(id)) w->setGeometry(ToQRect(rect));
        return;
    }
    // The frame is what the window manager adds around the client area.
    const QSize frame = frameGeometry().size() - size();
    setFixedSize(rect.width - frame.width(), rect.height - frame.height());
    move(rect.x, rect.y);
}

bool CLoadwatchDlg::IsTrayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void CLoadwatchDlg::HideWindow() {
    // The minimised state stays until the window comes back: leaving it
    // maps the window on X11, hidden or not.
    hide();
}

void CLoadwatchDlg::ShowWindow() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CLoadwatchDlg::MinimizeWindow() { showMinimized(); }

void CLoadwatchDlg::AnimateTray(bool toTray) {
    if (m_trayIcon->isVisible() && m_trayIcon->geometry().isValid())
        m_lastIconGeometry = m_trayIcon->geometry();
    ::AnimateTray(toTray, frameGeometry(), GetTrayRect(m_lastIconGeometry, QGuiApplication::primaryScreen()));
}

void CLoadwatchDlg::AddTrayIcon(const std::string& tip) {
    m_trayIcon->setToolTip(Q(tip));
    m_trayIcon->show();
}

void CLoadwatchDlg::RemoveTrayIcon() {
    if (m_trayIcon->isVisible() && m_trayIcon->geometry().isValid())
        m_lastIconGeometry = m_trayIcon->geometry();
    m_trayIcon->hide();
}

bool CLoadwatchDlg::AskYesNo(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void CLoadwatchDlg::ShowNotice(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, Q(caption), Q(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool CLoadwatchDlg::IsShiftDown() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void CLoadwatchDlg::FlashElevationLink() { FlashLink(Control(IDC_LINK_ELEVATE)); }

void CLoadwatchDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !(windowState() & Qt::WindowMinimized)) return;
    // The window manager has minimised the window already; going to the
    // tray instead waits until this state change is through.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (windowState() & Qt::WindowMinimized) m_window.OnMinimize();
        },
        Qt::QueuedConnection);
}

void CLoadwatchDlg::closeEvent(QCloseEvent* event) {
    if (!m_window.OnClose()) {
        event->ignore();
        return;
    }
    // Ends the dialog (finished), which ends the program.
    QDialog::closeEvent(event);
}

void CLoadwatchDlg::keyPressEvent(QKeyEvent* event) {
    // Enter is the dialog's OK, unless a push button has the focus.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CLoadwatchDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_about) return;
    QMenu menu(this);
    menu.addAction(m_about);
    menu.exec(event->globalPos());
}
