#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>

#include "actions/ProgramActions.h"
#include "actions/PromotionPanel.h"
#include "actions/ScanHandOff.h"
#include "app/LoadwatchDlg.h"
#include "app/QtClipboard.h"
#include "controls/HyperLink.h"
#include "controls/QHtmWnd.h"
#include "controls/ReportCtrl.h"
#include "platform/linux/CurlHttpClient.h"
#include "res/StringTable.h"
#include "tests/fakes/FakeDesktop.h"
#include "tests/fakes/FakePrivilegedHelper.h"
#include "tests/fakes/FakeProcessControl.h"
#include "tests/fakes/FakeProgramStarter.h"
#include "tests/fakes/WindowFixture.h"
#include "window/ActionCommands.h"
#include "window/DialogTemplate.h"

namespace {

using Answers = std::vector<QMessageBox::StandardButton>;

// Answers the message boxes as they open, in order, and logs each as
// "CAPTION: TEXT" among the fakes' calls.
void AnswerBoxes(CallLog& log, Answers answers, int patience = 300) {
    if (answers.empty() || patience == 0) return;
    QTimer::singleShot(10, qApp, [&log, answers, patience]() mutable {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return AnswerBoxes(log, answers, patience - 1);
        log.push_back((box->windowTitle() + ": " + box->text()).toStdString());
        box->button(answers.front())->click();
        answers.erase(answers.begin());
        AnswerBoxes(log, answers);
    });
}

// The real dialog on a screen of the test's choosing.
class CTestDlg : public CLoadwatchDlg {
public:
    using CLoadwatchDlg::CLoadwatchDlg;
    Size desktop{3000, 2000};
    Size GetDesktopSize() const override { return desktop; }
};

// The real dialog and the real actions on a fake system, asking through the dialog.
struct Fixture : CWindowFixture<> {
    CallLog log;
    CFakeProcessControl control{log};
    CFakeDesktop desktop{log};
    CFakeProgramStarter starter{log};
    CFakePrivilegedHelper helper;
    CQtClipboard clipboard;
    CPromotionPanel promotion{desktop};
    std::unique_ptr<CProgramActions> actions;
    std::unique_ptr<CScanHandOff> scan;
    std::unique_ptr<CActionCommands> commands;
    CKnowledgeBase* otherKnowledgeBase = nullptr;  // instead of the page server
    std::unique_ptr<CTestDlg> dlg;                 // first to go: nothing outlives what it uses

    Fixture() {
        packages.owned["/usr/bin/tool"] = {};
        packages.intact.insert("/usr/bin/tool");
    }
    void Open(bool fromAutostart = false, Size desktopSize = {3000, 2000}) {
        dlg = std::make_unique<CTestDlg>(otherKnowledgeBase ? Platform(*otherKnowledgeBase) : Platform());
        dlg->desktop = desktopSize;
        actions = std::make_unique<CProgramActions>(processes, *dlg,
                                                    ActionPlatform{control, this->desktop, starter, helper});
        scan = std::make_unique<CScanHandOff>(*dlg, clipboard, this->desktop);
        commands = std::make_unique<CActionCommands>(*actions, *scan, promotion);
        dlg->Window().SetCommands(*commands);
        dlg->InitDialog(fromAutostart);
    }
    CLoadwatchWindow& Window() override { return dlg->Window(); }
    CReportCtrl& List() override { return dlg->ListCtrl(); }
    void ClickRow(int row) {
        QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::NoModifier,
                          List().visualRect(List().model()->index(row, 0)).center());
    }
    std::string Html() { return dlg->Html().GetWindowText(); }
    // The panel past the selected program's amounts, which it starts with.
    std::string Page() {
        const std::string amounts = AmountsHtml(processes.SelectedPid());
        const std::string html = Html();
        return html.rfind(amounts, 0) == 0 ? html.substr(amounts.size()) : "(no amounts) " + html;
    }
    std::vector<int> EnabledButtons() {
        std::vector<int> ids;
        for (int id : kActionButtons)
            if (dlg->Control(id)->isEnabled()) ids.push_back(id);
        return ids;
    }
};

std::uint32_t SelectedPid(CReportCtrl& list) { return GetSelectedRowData(list); }
QString Row(CReportCtrl& list, int row) {
    return QString::fromStdString(list.GetItemText(row, 0) + " | " + list.GetItemText(row, 1));
}

}  // namespace

class LoadwatchDlgTest : public QObject {
    Q_OBJECT
private slots:
    void startUp_data();
    void startUp();
    void busyProcessAppearsAgesFadesAndLeaves();
    void selectionShowsPageAndEnablesButtons_data();
    void selectionShowsPageAndEnablesButtons();
    void selectionSurvivesRefreshes();
    void freezeStopsChanges();
    void emptyListClearsDetails();
    void oneRowAndActivationSelectsIt();
    void linksAndButtonsReachTheirHandlers();
    void doubleClicksOnThePromotionPanel_data();
    void doubleClicksOnThePromotionPanel();
    void elevationLink();
    void namesAreShownSafely();
    void silentKnowledgeBaseLeavesTheWindowResponsive();
    void fitToScreen();
    void fitLeavesNoControlOnAnother_data();
    void fitLeavesNoControlOnAnother();
    void endingTheDialog();
};

void LoadwatchDlgTest::startUp_data() {
    QTest::addColumn<bool>("privilege");
    QTest::addColumn<bool>("autostart");
    QTest::newRow("user") << false << false;
    QTest::newRow("privileged, autostart") << true << true;
}

void LoadwatchDlgTest::startUp() {
    QFETCH(bool, privilege);
    QFETCH(bool, autostart);
    Fixture f;
    f.services.privilege = privilege;
    f.Add(10, "/usr/bin/tool");
    f.Open(autostart);
    QCOMPARE(f.dlg->windowTitle(), QStringLiteral("Loadwatch 1.13"));
    QCOMPARE(f.Html(), std::string("Please choose a program."));
    QCOMPARE(f.List().GetColumnCount(), 2);
    QCOMPARE(f.List().model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Activity"));
    QCOMPARE(f.List().GetItemCount(), 0);  // the first snapshot only sets baselines
    QVERIFY(f.dlg->IsTimerActive(kRefreshTimer));
    QCOMPARE(f.dlg->IsTimerActive(kAutostartTimer), autostart);
    QCOMPARE(f.dlg->Control(IDC_LINK_ELEVATE)->isHidden(), privilege);
    QVERIFY(f.dlg->Control(IDC_LABEL_DETAILS)->font().bold());
    QVERIFY(f.EnabledButtons().empty());
    QCOMPARE(f.dlg->AboutAction().shortcut(), QKeySequence(Qt::Key_F1));
}

void LoadwatchDlgTest::busyProcessAppearsAgesFadesAndLeaves() {
    Fixture f;
    f.Add(10, "/usr/bin/tool");
    f.Open();
    const ColorRef windowText = f.List().GetCellTextColor(-1, 0);
    f.Tick({10});
    QCOMPARE(Row(f.List(), 0), QStringLiteral("tool | Processor"));
    QCOMPARE(f.List().GetCellTextColor(0, 1), windowText);
    struct Step {
        int ticks;
        const char* row;  // null: gone
        ColorRef color;
    };
    const Step steps[] = {
        {4, "tool | Processor (4 seconds ago)", Rgb(70, 70, 70)},
        {16, "tool | Processor (20 seconds ago)", Rgb(230, 230, 230)},
        {1, nullptr, 0},
    };
    for (const Step& s : steps) {
        for (int i = 0; i < s.ticks; ++i) f.Tick();
        if (!s.row) {
            QCOMPARE(f.List().GetItemCount(), 0);
            continue;
        }
        QCOMPARE(Row(f.List(), 0), QString::fromLatin1(s.row));
        QCOMPARE(f.List().GetCellTextColor(0, 0), s.color);
    }
    // Busy, then gone: red until its activity is 20 seconds old.
    f.Tick({10});
    f.source.Remove(10);
    f.Tick();
    QCOMPARE(Row(f.List(), 0), QStringLiteral("tool | Program closed, Processor (1 seconds ago)"));
    QCOMPARE(f.List().GetCellTextColor(0, 1), Rgb(255, 0, 0));
}

void LoadwatchDlgTest::selectionShowsPageAndEnablesButtons_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("window");
    QTest::addColumn<bool>("uninstaller");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QList<int>>("enabled");
    const QList<int> withPath{IDC_PROPERTIES, IDC_OPEN_FOLDER, IDC_TERMINATE, IDC_SCAN_1, IDC_SCAN_2};
    QTest::newRow("program") << "/usr/bin/tool" << false << false << "page of tool" << withPath;
    QTest::newRow("with uninstaller and window")
        << "/opt/app/app" << true << true << "page of app"
        << QList<int>{IDC_PROPERTIES, IDC_OPEN_FOLDER, IDC_CLOSE_PROGRAM, IDC_TERMINATE,
                      IDC_UNINSTALL,  IDC_SCAN_1,      IDC_SCAN_2};
    QTest::newRow("no path") << "" << false << false << "" << QList<int>{IDC_TERMINATE};
}

void LoadwatchDlgTest::selectionShowsPageAndEnablesButtons() {
    QFETCH(QString, path);
    QFETCH(bool, window);
    QFETCH(bool, uninstaller);
    QFETCH(QString, page);
    QFETCH(QList<int>, enabled);
    Fixture f;
    f.processes.Platform().findUninstaller = [](const std::string& folder, IFileSystem&) {
        return folder == "/opt/app" ? std::string("/opt/app/uninst.exe") : std::string();
    };
    if (!uninstaller) f.processes.Platform().findUninstaller = nullptr;
    f.Add(20, path.toStdString());
    if (window) f.services.windows[20] = 0x4200001;
    f.Open();
    f.Tick({20});
    f.ClickRow(0);
    QCOMPARE(SelectedPid(f.List()), 20u);
    QTRY_VERIFY(f.Settled());
    QCOMPARE(QString::fromStdString(f.Page()), page);
    // The window is looked up with the details: "Close" follows once they are in.
    const std::vector<int> buttons = f.EnabledButtons();
    QCOMPARE(QList<int>(buttons.begin(), buttons.end()), enabled);
}

void LoadwatchDlgTest::selectionSurvivesRefreshes() {
    Fixture f;
    f.Add(10, "/usr/bin/tool");
    f.Add(11, "/usr/bin/other");
    f.Open();
    f.Tick({10, 11});
    f.ClickRow(f.RowOf(11));
    QTRY_VERIFY(f.Settled());
    // 11 stays idle and selected, 10 stays busy and moves ahead of it.
    for (int i = 0; i < 25; ++i) {
        f.Tick({10});
        QCOMPARE(SelectedPid(f.List()), 11u);
        QCOMPARE(f.RowOf(11), 1);
    }
    QCOMPARE(f.Page(), std::string("page of other"));
    // Once another row is selected, 11 drops out within the 3 seconds it was kept.
    f.ClickRow(f.RowOf(10));
    for (int i = 0; i < 3; ++i) f.Tick({10});
    QCOMPARE(f.RowOf(11), -1);
}

void LoadwatchDlgTest::freezeStopsChanges() {
    Fixture f;
    f.Add(10, "/usr/bin/tool");
    f.Add(11, "/usr/bin/other");
    f.Open();
    f.Tick({10});
    auto* freeze = qobject_cast<QCheckBox*>(f.dlg->Control(IDC_FREEZE));
    QTest::mouseClick(freeze, Qt::LeftButton, Qt::NoModifier, QPoint(5, freeze->height() / 2));
    QVERIFY(freeze->isChecked());
    for (int i = 0; i < 5; ++i) f.Tick({11});
    QCOMPARE(f.List().GetItemCount(), 1);
    QCOMPARE(Row(f.List(), 0), QStringLiteral("tool | Processor"));
    // Unfrozen, the next tick counts everything the pause hid at once.
    freeze->setChecked(false);
    f.Tick();
    QCOMPARE(Row(f.List(), 0), QStringLiteral("other | Processor"));
}

void LoadwatchDlgTest::emptyListClearsDetails() {
    Fixture f;
    f.Add(10, "/usr/bin/tool");
    f.Open();
    f.Tick({10});
    f.ClickRow(0);
    QTRY_VERIFY(f.Settled());
    QCOMPARE(f.Page(), std::string("page of tool"));
    // The selected program ends: its page and buttons go at once, though
    // its red row stays a while.
    f.source.Remove(10);
    f.Tick();
    QCOMPARE(f.List().GetItemCount(), 1);
    QCOMPARE(f.Html(), std::string());
    QVERIFY(f.EnabledButtons().empty());
    QCOMPARE(SelectedPid(f.List()), 0u);
    for (int i = 0; i < 20 && f.List().GetItemCount() > 0; ++i) f.Tick();
    f.Tick();
    QCOMPARE(f.List().GetItemCount(), 0);
    QCOMPARE(f.Html(), std::string());
    QVERIFY(f.EnabledButtons().empty());
}

void LoadwatchDlgTest::oneRowAndActivationSelectsIt() {
    Fixture f;
    f.Add(10, "/usr/bin/tool");
    f.Add(11, "/usr/bin/other");
    f.Open();
    f.Tick({10, 11});
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QCOMPARE(SelectedPid(f.List()), 0u);  // two rows: nothing chosen for the user
    for (int i = 0; i < 2; ++i) f.Tick({10});
    f.source.Remove(11);
    for (int i = 0; i < 21; ++i) f.Tick({10});
    QCOMPARE(f.List().GetItemCount(), 1);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    QCOMPARE(SelectedPid(f.List()), 10u);
    QTRY_VERIFY(f.Settled());
    QCOMPARE(f.Page(), std::string("page of tool"));
}

void LoadwatchDlgTest::linksAndButtonsReachTheirHandlers() {
    Fixture f;
    for (std::uint32_t pid : {10u, 11u}) f.control.Start(pid);
    f.Add(10, "/opt/app/app");
    f.Add(11, "/opt/other/other");
    f.services.windows = {{10, 7}, {11, 8}};
    f.processes.Platform().findUninstaller = [](const std::string& folder, IFileSystem&) {
        return folder + "/uninst.exe";
    };
    f.Open();
    f.Tick({10, 11});
    f.ClickRow(f.RowOf(10));
    QTRY_VERIFY(f.Settled());
    const auto Yes = QMessageBox::Yes, No = QMessageBox::No, Ok = QMessageBox::Ok;
    const std::string ask = "Loadwatch 1.13: ", url = "url:";
    const std::string notice = ask +
                               "Path and filename were copied into the clipboard. You can paste "
                               "them in the \"File open\" dialog.";
    const std::tuple<int, Answers, CallLog> clicks[] = {
        {IDC_PROPERTIES, {}, {"properties:/opt/app/app"}},
        {IDC_OPEN_FOLDER, {}, {"folder:/opt/app"}},
        {IDC_CLOSE_PROGRAM, {Yes}, {ask + "Close program app - Are you sure?", "quit:10#1"}},
        {IDC_CLOSE_PROGRAM, {No}, {ask + "Close program app - Are you sure?"}},
        {IDC_TERMINATE,
         {Yes},
         {ask + "Terminate program app - Are you sure?\n\nUnsaved changes will be lost!", "kill:10#1"}},
        {IDC_UNINSTALL, {Yes}, {ask + "Uninstall program app - Are you sure?", "start:/opt/app/uninst.exe"}},
        {IDC_SCAN_1, {Ok}, {notice, url + kKasperskyScan.url}},
        {IDC_SCAN_2, {Ok}, {notice, url + kVirusTotalScan.url}},
        {IDC_LINK_HOME, {}, {url + kHomeLink.url}},
        {IDC_PROMO_TITLE_1, {}, {url + kPromotionEntries[0].url}},
        {IDC_PROMO_TEXT_2, {}, {url + kPromotionEntries[1].url}},
        {IDC_PROMO_ICON_3, {}, {url + kPromotionEntries[2].url}},
    };
    for (const auto& [id, answers, expected] : clicks) {
        f.log.clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("previous content"));
        AnswerBoxes(f.log, answers);
        QTest::mouseClick(f.dlg->Control(id), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(f.log, expected);
        const bool scan = id == IDC_SCAN_1 || id == IDC_SCAN_2;
        QCOMPARE(QGuiApplication::clipboard()->text(), scan ? "/opt/app/app" : "previous content");
    }
    // A file name that is not UTF-8 reaches the clipboard byte for byte.
    QVERIFY(f.clipboard.SetText("/opt/\xff\xfe"));
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/plain"), QByteArray("/opt/\xff\xfe"));
    // The template shows the actions' own captions and entries.
    QCOMPARE(qobject_cast<QPushButton*>(f.dlg->Control(IDC_SCAN_1))->text(), kKasperskyScan.caption);
    QCOMPARE(qobject_cast<QLabel*>(f.dlg->Control(IDC_PROMO_TITLE_3))->text(), kPromotionEntries[2].title);

    // A refused kill flashes link 1012, and asks nothing more; afterwards,
    // also after a second flash over the first, the link looks as before.
    f.control.procs[10].denied = true;
    QWidget* link = f.dlg->Control(IDC_LINK_ELEVATE);
    const QImage look = link->grab().toImage();
    const auto colours = [link] {
        return std::tuple(link->palette().color(link->foregroundRole()),
                          link->palette().color(link->backgroundRole()), link->autoFillBackground());
    };
    const auto before = colours();
    for (int flashes = 0; flashes < 2; ++flashes) {
        f.log.clear();
        AnswerBoxes(f.log, {Yes});
        QTest::mouseClick(f.dlg->Control(IDC_TERMINATE), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(f.log.size(), 1u);
        QVERIFY(link->autoFillBackground());
        QVERIFY(link->grab().toImage() != look);
    }
    QTRY_VERIFY(colours() == before);
    QTest::qWait(600);  // the first flash's timers are over too
    QVERIFY(colours() == before);
    QCOMPARE(link->grab().toImage(), look);

    // The autostart tick fires once; without a tray the window is minimised.
    f.dlg->show();
    f.dlg->SetTimer(kAutostartTimer, 1);
    QTRY_VERIFY(f.dlg->isMinimized());
    QVERIFY(!f.dlg->IsTimerActive(kAutostartTimer));
    QVERIFY(!f.dlg->Window().Tray().IsInTray());
    // Back from the tray, a window hidden while minimised is an ordinary
    // one again, whether or not the window manager said so meanwhile.
    f.dlg->HideWindow();
    f.dlg->ShowWindow();
    QVERIFY(f.dlg->isVisible());
    QVERIFY(!f.dlg->isMinimized());
}

// A name cannot disguise itself in the list or a question, and a process
// whose path is refused is named by the system's short name for it.
void LoadwatchDlgTest::namesAreShownSafely() {
    Fixture f;
    f.control.Start(10);
    f.Add(10, "/tmp/rtl\xe2\x80\xaegnp.exe\nx");
    CFakeProcessSource::Proc& refused = f.source.Add(11);
    refused.imageError = 13;
    refused.kernelName = "sshd";
    f.Open();
    f.Tick({10, 11});
    const QString escaped = QStringLiteral("rtl\\xe2\\x80\\xaegnp.exe\\x0ax");
    auto shown = [&](std::uint32_t pid) {
        return f.List().model()->data(f.List().model()->index(f.RowOf(pid), 0)).toString();
    };
    QCOMPARE(shown(10), escaped);
    QCOMPARE(shown(11), QStringLiteral("sshd (#error2: 11 13)"));
    f.ClickRow(f.RowOf(10));
    AnswerBoxes(f.log, {QMessageBox::No});
    QTest::mouseClick(f.dlg->Control(IDC_TERMINATE), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QCOMPARE(f.log, CallLog{"Loadwatch 1.13: Terminate program " + escaped.toStdString() +
                            " - Are you sure?\n\nUnsaved changes will be lost!"});
}

void LoadwatchDlgTest::doubleClicksOnThePromotionPanel_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("opened");
    // A title follows every release; a description or an icon answers the
    // first click only.
    QTest::newRow("title") << int(IDC_PROMO_TITLE_1) << 1 << 2;
    QTest::newRow("description") << int(IDC_PROMO_TEXT_2) << 2 << 1;
    QTest::newRow("icon") << int(IDC_PROMO_ICON_3) << 3 << 1;
}

void LoadwatchDlgTest::doubleClicksOnThePromotionPanel() {
    QFETCH(int, id);
    QFETCH(int, page);
    QFETCH(int, opened);
    Fixture f;
    f.Open();
    f.dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.dlg.get()));
    f.log.clear();
    // Through the window, so Qt makes the double-click of two clicks.
    QTest::mouseDClick(f.dlg->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       f.dlg->Control(id)->mapTo(f.dlg.get(), QPoint(3, 3)));
    QCOMPARE(f.log, CallLog(opened, std::string("url:") + kPromotionEntries[page - 1].url));
}

// Link 1012 hides while the helper it started runs, and only then.
void LoadwatchDlgTest::elevationLink() {
    using R = IPrivilegedHelper::StartResult;
    for (R result : {R::kStarted, R::kRefused, R::kFailed}) {
        Fixture f;
        f.helper.result = result;
        f.Open();
        QWidget* link = f.dlg->Control(IDC_LINK_ELEVATE);
        QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(link->isHidden(), result == R::kStarted);
        f.helper.running = false;  // it ended
        f.Tick();
        QVERIFY(!link->isHidden());
    }
}

// A knowledge base that takes the connection and never answers: after a
// selection the window's events keep coming (a timer fires on time, a click
// on another row is handled) while the question hangs, and the window goes
// at once when it is done.
void LoadwatchDlgTest::silentKnowledgeBaseLeavesTheWindowResponsive() {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    QVERIFY(listener >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0);
    QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    QVERIFY(::listen(listener, 8) == 0);
    std::vector<int> accepted;

    CCurlHttpClient http;
    Fixture f;
    CKnowledgeBase silent(http, f.files,
                          "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/index.php?");
    f.otherKnowledgeBase = &silent;
    f.Add(30, "/usr/bin/tool");
    f.Add(31, "/usr/bin/other");
    f.Open();
    f.Tick({30, 31});
    f.ClickRow(f.RowOf(30));
    // The question has reached the server.
    QTRY_VERIFY([&] {
        const int s = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (s >= 0) accepted.push_back(s);
        return !accepted.empty();
    }());
    bool fired = false;
    QTimer::singleShot(20, f.dlg.get(), [&] { fired = true; });
    QTRY_VERIFY_WITH_TIMEOUT(fired, 2000);
    f.ClickRow(f.RowOf(31));
    QCOMPARE(SelectedPid(f.List()), 31u);
    QCOMPARE(f.Page(), LoadText(IDS_LOADING_DETAILS));
    QVERIFY(!f.Settled());
    f.dlg.reset();  // cuts the questions short
    for (int s : accepted) ::close(s);
    ::close(listener);
}

void LoadwatchDlgTest::fitToScreen() {
    Fixture fits;
    fits.Open();
    const DialogBaseUnits base = fits.dlg->BaseUnits();
    const Size size = MapDialogSize(kDialogSizeDlu, base);
    QCOMPARE(fits.dlg->size(), QSize(size.cx, size.cy));
    for (const ControlTemplate& c : DialogTemplate()) {
        if (c.kind == ControlKind::Link) continue;  // sized to their text
        QCOMPARE(fits.dlg->GetCtrlRect(c.id), MapDialogRect(c.dlu, base));
        if (auto* button = qobject_cast<QPushButton*>(fits.dlg->Control(c.id)))  // caption not clipped
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(), c.text);
    }

    // Too low by one pixel: 40 pixels less than the screen, the panel and
    // the right-hand column follow.
    Fixture low;
    low.Open(false, {size.cx + 100, size.cy + 19});
    const int h = size.cy + 19 - 40;
    QCOMPARE(low.dlg->size(), QSize(size.cx, h));
    QCOMPARE(low.dlg->pos(), QPoint(50, 20));
    const Rect list = low.dlg->GetCtrlRect(IDC_LIST);
    const Rect html = low.dlg->GetCtrlRect(IDC_HTML);
    const Rect button = MapDialogRect(FindControlTemplate(IDC_OPEN_FOLDER)->dlu, base);
    QCOMPARE(html.height, h - html.y - list.x - 28);
    QCOMPARE(low.dlg->GetCtrlRect(IDC_UNINSTALL).x, size.cx - button.width - list.x);
    QCOMPARE(low.dlg->GetCtrlRect(IDC_PROMO_ICON_2).y,
             MapDialogRect(FindControlTemplate(IDC_PROMO_ICON_2)->dlu, base).y - 110);
}

void LoadwatchDlgTest::fitLeavesNoControlOnAnother_data() {
    QTest::addColumn<QSize>("screen");  // in device pixels
    QTest::addColumn<qreal>("scale");
    QTest::newRow("1280x720") << QSize(1280, 720) << 1.0;
    QTest::newRow("1920x1080 at 150 %") << QSize(1920, 1080) << 1.5;
}

// Every visible control keeps its own place on a screen lower than the
// dialog. The scaled row runs where Qt scales by 1.5 (QT_SCALE_FACTOR).
void LoadwatchDlgTest::fitLeavesNoControlOnAnother() {
    QFETCH(QSize, screen);
    QFETCH(qreal, scale);
    if (!qFuzzyCompare(qApp->devicePixelRatio(), scale)) QSKIP("another scale factor");
    Fixture f;
    f.Open(false, {qRound(screen.width() / scale), qRound(screen.height() / scale)});
    QVERIFY(f.dlg->height() < screen.height() / scale);
    const QRect client = f.dlg->rect();
    std::vector<std::pair<int, QRect>> shown;
    for (const ControlTemplate& c : DialogTemplate())
        if (f.dlg->Control(c.id)->isVisibleTo(f.dlg.get()))
            shown.emplace_back(c.id, f.dlg->Control(c.id)->geometry());
    QCOMPARE(shown.size(), DialogTemplate().size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        QVERIFY2(client.contains(shown[i].second.topLeft()), qPrintable(QString::number(shown[i].first)));
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            QVERIFY2(!shown[i].second.intersects(shown[j].second),
                     qPrintable(QStringLiteral("%1 and %2").arg(shown[i].first).arg(shown[j].first)));
    }
}

void LoadwatchDlgTest::endingTheDialog() {
    const std::string question = "Loadwatch 1.13: Close program - Are you sure?";
    const std::tuple<int, Answers, bool> cases[] = {// key (0: close box), answers, ends
                                                    {0, {QMessageBox::Yes}, true},
                                                    {0, {QMessageBox::No}, false},
                                                    {Qt::Key_Escape, {}, true},
                                                    {Qt::Key_Return, {}, true}};
    for (const auto& [key, answers, ends] : cases) {
        Fixture f;
        f.Open();
        f.dlg->show();
        QSignalSpy finished(f.dlg.get(), &QDialog::finished);
        AnswerBoxes(f.log, answers);
        if (key)
            QTest::keyClick(&f.List(), Qt::Key(key));
        else
            f.dlg->close();
        QCOMPARE(f.log, key ? CallLog{} : CallLog{question});
        QCOMPARE(finished.count(), ends ? 1 : 0);
        QCOMPARE(f.dlg->isVisible(), !ends);
    }
}

QTEST_MAIN(LoadwatchDlgTest)
#include "LoadwatchDlgTest.moc"
