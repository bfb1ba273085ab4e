#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <cstring>
#include <functional>
#include <memory>

#include "app/LoadwatchDlg.h"
#include "controls/HyperLink.h"
#include "controls/QHtmWnd.h"
#include "controls/ReportCtrl.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileContent.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePackageMetadata.h"
#include "tests/fakes/FakeProcessSource.h"
#include "tests/fakes/PageServer.h"
#include "window/ControlIds.h"
#include "window/DialogTemplate.h"
#include "window/WindowCommands.h"
#include "window/WindowServices.h"

namespace {

class CFakeServices : public IWindowServices {
public:
    bool privilege = false;
    std::map<std::uint32_t, WindowId> windows;
    bool EnableDebugPrivilege() override { return privilege; }
    WindowId FindProcessWindow(std::uint32_t pid) override { return windows.count(pid) ? windows[pid] : 0; }
};

class CRecordingCommands : public IWindowCommands {
public:
    std::vector<std::string> calls;
    void OnProgramProperties() override { calls.push_back("properties"); }
    void OnOpenFolder() override { calls.push_back("folder"); }
    void OnCloseProgram() override { calls.push_back("close"); }
    void OnTerminateProcess() override { calls.push_back("terminate"); }
    void OnVirusScan(int service) override { calls.push_back("scan" + std::to_string(service)); }
    void OnUninstallProgram() override { calls.push_back("uninstall"); }
    void OnHomePage() override { calls.push_back("home"); }
    void RestartAsAdministrator() override { calls.push_back("elevate"); }
    void OpenPromotionPage(int entry) override { calls.push_back("promotion" + std::to_string(entry)); }
    bool closeAllowed = true;  // the answer of the close confirmation
    bool OnClose() override { return closeAllowed; }
};

// The real dialog on a screen of the test's choosing.
class CTestDlg : public CLoadwatchDlg {
public:
    using CLoadwatchDlg::CLoadwatchDlg;
    Size desktop{3000, 2000};
    Size GetDesktopSize() const override { return desktop; }
};

constexpr std::uint64_t k200ms = 2'000'000;

struct Fixture {
    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeFileContent content;
    CFakePackageMetadata packages;
    CPageServer server;
    CKnowledgeBase knowledgeBase{server, files, "http://kb.test/index.php?"};
    CProcesses processes{{clock, source, files}};
    CFakeServices services;
    CRecordingCommands commands;
    std::unique_ptr<CTestDlg> dlg;

    Fixture() {
        source.self = 1;
        packages.owned["/usr/bin/tool"] = {};
        packages.intact.insert("/usr/bin/tool");
    }
    void Open(bool fromAutostart = false, Size desktop = {3000, 2000}) {
        dlg = std::make_unique<CTestDlg>(
            WindowPlatform{processes, files, content, packages, 0x0409, knowledgeBase, services, commands});
        dlg->desktop = desktop;
        dlg->InitDialog(fromAutostart);
    }
    void Add(std::uint32_t pid, const std::string& path) {
        CFakeProcessSource::Proc& p = source.Add(pid, path);
        p.times->creation = 1000 + p.instance;  // a new instance starts at another time
    }
    // One refresh tick a second later, after the given processes were busy.
    void Tick(std::initializer_list<std::uint32_t> busy = {}) {
        for (std::uint32_t pid : busy) source.AddCpu(pid, k200ms);
        clock.Advance();
        dlg->Window().OnTimer(kRefreshTimer);
    }
    CReportCtrl& List() { return dlg->ListCtrl(); }
    int RowOf(std::uint32_t pid) {
        for (int row = 0; row < List().GetItemCount(); ++row)
            if (List().GetItemData(row) == pid) return row;
        return -1;
    }
    void ClickRow(int row) {
        QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::NoModifier,
                          List().visualRect(List().model()->index(row, 0)).center());
    }
    std::string Html() { return dlg->Html().GetWindowText(); }
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
    void refreshInsideTheSignaturePump_data();
    void refreshInsideTheSignaturePump();
    void fitToScreen();
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
    QCOMPARE(QString::fromStdString(f.Html()), page);
    // The window is looked up with the details: the next notification enables "Close".
    f.ClickRow(0);
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
    // 11 stays idle and selected, 10 stays busy and moves ahead of it.
    for (int i = 0; i < 25; ++i) {
        f.Tick({10});
        QCOMPARE(SelectedPid(f.List()), 11u);
        QCOMPARE(f.RowOf(11), 1);
    }
    QCOMPARE(f.Html(), std::string("page of other"));
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
    QCOMPARE(f.Html(), std::string("page of tool"));
    f.source.Remove(10);
    for (int i = 0; i < 20 && f.List().GetItemCount() > 0; ++i) {
        f.Tick();
        QCOMPARE(f.Html(), std::string("page of tool"));  // kept while rows remain
    }
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
    QCOMPARE(f.Html(), std::string("page of tool"));
}

void LoadwatchDlgTest::linksAndButtonsReachTheirHandlers() {
    Fixture f;
    f.Add(10, "/opt/app/app");
    f.services.windows[10] = 7;
    f.processes.Platform().findUninstaller = [](const std::string&, IFileSystem&) {
        return std::string("u");
    };
    f.Open();
    f.Tick({10});
    f.ClickRow(0);
    f.ClickRow(0);
    const std::pair<int, const char*> clicks[] = {
        {IDC_LINK_HOME, "home"},
        {IDC_LINK_ELEVATE, "elevate"},
        {IDC_PROMO_TITLE_1, "promotion1"},
        {IDC_PROMO_TITLE_2, "promotion2"},
        {IDC_PROMO_TITLE_3, "promotion3"},
        {IDC_PROMO_TEXT_2, "promotion2"},
        {IDC_PROMO_ICON_3, "promotion3"},
        {IDC_PROPERTIES, "properties"},
        {IDC_OPEN_FOLDER, "folder"},
        {IDC_CLOSE_PROGRAM, "close"},
        {IDC_TERMINATE, "terminate"},
        {IDC_UNINSTALL, "uninstall"},
        {IDC_SCAN_1, "scan1"},
        {IDC_SCAN_2, "scan2"},
    };
    for (const auto& [id, expected] : clicks) {
        f.commands.calls.clear();
        QWidget* w = f.dlg->Control(id);
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(f.commands.calls, std::vector<std::string>{expected});
    }
    // The autostart tick fires once; without a tray the window is minimised.
    f.dlg->show();
    f.dlg->SetTimer(kAutostartTimer, 1);
    QTRY_VERIFY(f.dlg->isMinimized());
    QVERIFY(!f.dlg->IsTimerActive(kAutostartTimer));
    QVERIFY(!f.dlg->Window().Tray().IsInTray());
}

void LoadwatchDlgTest::refreshInsideTheSignaturePump_data() {
    QTest::addColumn<QString>("during");
    QTest::addColumn<QString>("page");
    QTest::newRow("records move") << "move"
                                  << "page of tool";
    QTest::newRow("record deleted") << "delete"
                                    << "";
    QTest::newRow("id taken by a new process") << "reuse"
                                               << "page of tool";
    QTest::newRow("another row chosen") << "choose"
                                        << "page of b";
}

// Loading a program's details handles the window's events while the
// signature is checked; a refresh run there must leave every other record
// alone, and the panel must show the selected program's page or nothing.
void LoadwatchDlgTest::refreshInsideTheSignaturePump() {
    QFETCH(QString, during);
    QFETCH(QString, page);
    Fixture f;
    f.Add(30, "/usr/bin/tool");
    f.Add(31, "/usr/bin/a");
    f.Add(32, "/usr/bin/b");
    f.Open();
    f.Tick({30, 31, 32});
    bool ran = false;
    QObject::connect(
        f.dlg.get(), &QWidget::windowTitleChanged, f.dlg.get(),
        [&](const QString& title) {
            if (ran || !title.contains(QStringLiteral("Checking"))) return;
            ran = true;
            if (during == "move") {
                for (std::uint32_t pid = 1000; pid < 1400; ++pid) f.Add(pid, "/usr/bin/n");
                f.Tick({31, 32});
                f.Tick({31, 32, 1005});
            } else if (during == "delete") {
                f.source.Remove(30);
                f.clock.Advance(30);
                f.Tick({31, 32});
            } else if (during == "reuse") {
                f.Add(30, "/usr/bin/tool");
                f.Tick({30, 31, 32});
            } else {
                f.ClickRow(f.RowOf(32));
            }
        },
        Qt::QueuedConnection);
    f.ClickRow(f.RowOf(30));
    QVERIFY(ran);
    QCOMPARE(QString::fromStdString(f.Html()), page);
    QCOMPARE(f.dlg->windowTitle(), QStringLiteral("Loadwatch"));
    if (during == "move") {
        QCOMPARE(SelectedPid(f.List()), 30u);
        QVERIFY(f.processes.FindByPid(30)->m_bSigned);
    }
    if (during == "delete") QVERIFY(f.EnabledButtons().empty());
    for (std::uint32_t pid = 31; pid < 1400; ++pid) {
        CProcess* other = f.processes.FindByPid(pid);
        if (!other || (during == "choose" && pid == 32)) continue;
        QVERIFY2(!other->m_bDetailsLoaded && !other->m_bSigned && other->m_strHtml.empty() &&
                     other->m_tKeepUntil == 0,
                 qPrintable(QString::number(pid)));
    }
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

void LoadwatchDlgTest::endingTheDialog() {
    const std::tuple<int, bool, bool> cases[] = {// key (0: close box), close allowed, ends
                                                 {0, true, true},
                                                 {0, false, false},
                                                 {Qt::Key_Escape, false, true},
                                                 {Qt::Key_Return, false, true}};
    for (const auto& [key, allowed, ends] : cases) {
        Fixture f;
        f.commands.closeAllowed = allowed;
        f.Open();
        f.dlg->show();
        QSignalSpy finished(f.dlg.get(), &QDialog::finished);
        if (key)
            QTest::keyClick(&f.List(), Qt::Key(key));
        else
            f.dlg->close();
        QCOMPARE(finished.count(), ends ? 1 : 0);
        QCOMPARE(f.dlg->isVisible(), !ends);
    }
}

QTEST_MAIN(LoadwatchDlgTest)
#include "LoadwatchDlgTest.moc"
