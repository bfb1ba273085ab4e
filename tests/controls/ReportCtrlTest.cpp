#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QVBoxLayout>

#include "controls/ReportCtrl.h"
#include "monitor/Amounts.h"
#include "monitor/Processes.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeProcessSource.h"

using Texts = std::vector<std::string>;
Q_DECLARE_METATYPE(Texts)

namespace {
constexpr std::uint32_t kBoth = kStateSelected | kStateFocused;

ColorRef ToColorRef(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

// "r<row>c<column>". Built by appending: GCC 12 at -O3 takes `"r" + string`
// for an overlapping copy (-Wrestrict).
std::string CellText(int row, int column) {
    std::string text = "r";
    text += std::to_string(row);
    text += 'c';
    text += std::to_string(column);
    return text;
}

// A list of `columns` columns and `rows` rows of CellText.
void Fill(CReportCtrl& list, int columns, int rows) {
    for (int c = 0; c < columns; ++c) list.InsertColumn(c, "Column " + std::to_string(c), 0, 100);
    for (int r = 0; r < rows; ++r) {
        Texts texts;
        for (int c = 0; c < columns; ++c) texts.push_back(CellText(r, c));
        list.InsertItem(r, texts);
        list.SetItemData(r, 100 + static_cast<std::uint32_t>(r));
    }
}

QPoint RowCenter(CReportCtrl& list, int row) { return list.visualRect(list.model()->index(row, 0)).center(); }

int CountPixels(const QImage& image, const QRect& area, QColor colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
    return n;
}
}  // namespace

class ReportCtrlTest : public QObject {
    Q_OBJECT
private slots:
    void insertItem_data();
    void insertItem();
    void setCellTextColor_data();
    void setCellTextColor();
    void insertColumnKeepsColoursWithTheirColumns();
    void outsideAndEmpty();
    void itemStates();
    void clickSelectsAndNotifies_data();
    void clickSelectsAndNotifies();
    void keys_data();
    void keys();
    void headerIsNotAButton();
    void fillListRoundTrip();
    void itemTip_data();
    void itemTip();
    void modelKeepsQtsRules();
    void screenshot();
};

void ReportCtrlTest::insertItem_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("existing");
    QTest::addColumn<int>("at");
    QTest::addColumn<Texts>("texts");
    QTest::addColumn<int>("expectedIndex");
    QTest::addColumn<Texts>("expectedTexts");
    QTest::newRow("one text per column") << 2 << 0 << 0 << Texts{"a", "b"} << 0 << Texts{"a", "b"};
    QTest::newRow("extra texts ignored") << 2 << 0 << 0 << Texts{"a", "b", "c"} << 0 << Texts{"a", "b"};
    QTest::newRow("missing texts empty") << 3 << 0 << 0 << Texts{"a"} << 0 << Texts{"a", "", ""};
    QTest::newRow("past the end appends") << 2 << 2 << 10 << Texts{"a", "b"} << 2 << Texts{"a", "b"};
    QTest::newRow("in front") << 2 << 2 << 0 << Texts{"a", "b"} << 0 << Texts{"a", "b"};
    QTest::newRow("negative refused") << 2 << 2 << -1 << Texts{"a", "b"} << -1 << Texts{};
    QTest::newRow("no columns yet") << 0 << 0 << 0 << Texts{"a"} << 0 << Texts{};
}

void ReportCtrlTest::insertItem() {
    QFETCH(int, columns);
    QFETCH(int, existing);
    QFETCH(int, at);
    QFETCH(Texts, texts);
    QFETCH(int, expectedIndex);
    QFETCH(Texts, expectedTexts);
    CReportCtrl list;
    Fill(list, columns, existing);

    const int index = list.InsertItem(at, texts);
    QCOMPARE(index, expectedIndex);
    QCOMPARE(list.GetItemCount(), existing + (index >= 0 ? 1 : 0));
    if (index < 0) return;
    // A new row has the value 0 and the window-text colour on the window colour.
    QCOMPARE(list.GetItemData(index), 0u);
    const ColorRef text = ToColorRef(list.palette().color(QPalette::Text));
    const ColorRef back = ToColorRef(list.palette().color(QPalette::Base));
    for (int c = 0; c < columns; ++c) {
        QCOMPARE(list.GetItemText(index, c), expectedTexts[static_cast<size_t>(c)]);
        QCOMPARE(list.GetCellTextColor(index, c), text);
        QCOMPARE(list.GetCellBackColor(index, c), back);
    }
    // The other rows keep their texts and values, shifted past the new one.
    for (int r = 0; r < existing; ++r) {
        const int shown = r < index ? r : r + 1;
        QCOMPARE(list.GetItemText(shown, 0), CellText(r, 0));
        QCOMPARE(list.GetItemData(shown), 100u + static_cast<unsigned>(r));
    }
}

void ReportCtrlTest::setCellTextColor_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    // Cells of the 3 x 3 list expected in the new colour, row by row.
    QTest::addColumn<QString>("cells");
    QTest::newRow("one cell") << 1 << 2 << "000 001 000";
    QTest::newRow("whole row") << 1 << -1 << "000 111 000";
    QTest::newRow("whole column") << -1 << 2 << "001 001 001";
    QTest::newRow("everything") << -1 << -1 << "111 111 111";
    QTest::newRow("row past the end is all rows") << 3 << 0 << "100 100 100";
    QTest::newRow("column past the end is all columns") << 0 << 3 << "111 000 000";
}

void ReportCtrlTest::setCellTextColor() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, cells);
    CReportCtrl list;
    Fill(list, 3, 3);
    const ColorRef original = list.GetCellTextColor(0, 0);
    const ColorRef grey = Rgb(100, 100, 100);

    list.SetCellTextColor(row, column, grey, false);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const bool changed = cells.at(r * 4 + c) == QLatin1Char('1');
            QCOMPARE(list.GetCellTextColor(r, c), changed ? grey : original);
        }

    // -1 as colour is the window-text colour again.
    list.SetCellTextColor(-1, -1, kDefaultColor, true);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) QCOMPARE(list.GetCellTextColor(r, c), original);
}

void ReportCtrlTest::insertColumnKeepsColoursWithTheirColumns() {
    CReportCtrl list;
    Fill(list, 2, 2);
    const ColorRef original = list.GetCellTextColor(0, 0);
    const ColorRef red = Rgb(255, 0, 0);
    list.SetCellTextColor(-1, 1, red, false);

    QCOMPARE(list.InsertColumn(0, "New", CReportCtrl::LVCFMT_RIGHT, 50), 0);
    QCOMPARE(list.GetColumnCount(), 3);
    for (int r = 0; r < 2; ++r) {
        QCOMPARE(list.GetCellTextColor(r, 0), original);
        QCOMPARE(list.GetItemText(r, 0), std::string());
        QCOMPARE(list.GetCellTextColor(r, 1), original);
        QCOMPARE(list.GetCellTextColor(r, 2), red);
        QCOMPARE(list.GetItemText(r, 2), CellText(r, 1));
    }
    QCOMPARE(list.InsertColumn(99, "Last"), 3);
    QCOMPARE(list.InsertColumn(-1, "Refused"), -1);
    QCOMPARE(list.header()->sectionSize(0), 50);
}

void ReportCtrlTest::outsideAndEmpty() {
    CReportCtrl list;
    Fill(list, 2, 0);
    QCOMPARE(list.DeleteAllItems(), 0);
    QCOMPARE(list.GetItemData(0), 0u);
    QCOMPARE(list.GetItemData(-1), 0u);
    list.SetItemData(0, 7);  // no row: nothing happens
    QCOMPARE(list.GetItemState(0, kBoth), 0u);

    Fill(list, 0, 3);
    QCOMPARE(list.GetItemData(3), 0u);
    list.SetItemState(1, kBoth, kBoth);
    QCOMPARE(list.GetSelectionMark(), 1);
    QCOMPARE(list.DeleteAllItems(), 3);
    QCOMPARE(list.GetItemCount(), 0);
    QCOMPARE(list.GetSelectionMark(), -1);
    QCOMPARE(list.SetExtendedStyle(0), 0x22u);
    QCOMPARE(list.SetExtendedStyle(0x1000), 0x22u);
    QCOMPARE(list.GetExtendedStyle(), 0x1022u);
}

void ReportCtrlTest::itemStates() {
    CReportCtrl list;
    Fill(list, 2, 3);
    QCOMPARE(list.GetSelectionMark(), -1);

    list.SetItemState(1, kBoth, kBoth);
    QCOMPARE(list.GetItemState(1, kBoth), kBoth);
    QCOMPARE(list.GetItemState(1, kStateSelected), kStateSelected);
    QCOMPARE(list.GetSelectionMark(), 1);

    // One selected row at most: selecting another takes the selection over.
    list.SetItemState(2, kBoth, kBoth);
    QCOMPARE(list.GetItemState(1, kBoth), 0u);
    QCOMPARE(list.GetItemState(2, kBoth), kBoth);

    list.SetItemState(2, 0, kStateSelected);
    QCOMPARE(list.GetItemState(2, kBoth), kStateFocused);
    list.SetItemState(2, 0, kStateFocused);
    QCOMPARE(list.GetItemState(2, kBoth), 0u);
    // The mark is not a state: it stays where it was.
    QCOMPARE(list.GetSelectionMark(), 2);
    list.SetSelectionMark(0);
    QCOMPARE(list.GetSelectionMark(), 0);

    list.SetItemState(1, kStateSelected, kStateSelected);
    list.SetItemState(-1, 0, kBoth);
    for (int r = 0; r < 3; ++r) QCOMPARE(list.GetItemState(r, kBoth), 0u);
}

void ReportCtrlTest::clickSelectsAndNotifies_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("row");  // -1: below the rows
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left on a row") << Qt::LeftButton << 2 << 2 << 1;
    QTest::newRow("right on a row") << Qt::RightButton << 2 << 2 << 0;
    QTest::newRow("left below the rows") << Qt::LeftButton << -1 << -1 << 1;
}

void ReportCtrlTest::clickSelectsAndNotifies() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, row);
    QFETCH(int, selectedAfter);
    QFETCH(int, clicks);
    CReportCtrl list;
    list.resize(400, 300);
    Fill(list, 2, 3);
    list.SetItemState(0, kBoth, kBoth);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    // A handler reads the selection the way the window does: mark, then states.
    std::vector<int> seen;
    connect(&list, &CReportCtrl::itemChanged, &list, [&] {
        const int mark = list.GetSelectionMark();
        seen.push_back(mark >= 0 && list.GetItemState(mark, kBoth) == kBoth ? mark : -1);
    });
    QSignalSpy clicked(&list, &CReportCtrl::itemClicked);

    const QPoint at = row >= 0 ? RowCenter(list, row) : QPoint(20, list.viewport()->height() - 5);
    QTest::mouseClick(list.viewport(), button, Qt::NoModifier, at);

    for (int r = 0; r < 3; ++r) QCOMPARE(list.GetItemState(r, kStateSelected) != 0, r == selectedAfter);
    QVERIFY(!seen.empty());
    // Every notification already sees the final selection.
    for (int s : seen) QCOMPARE(s, selectedAfter);
    QCOMPARE(clicked.count(), clicks);
    if (clicks) {
        QCOMPARE(clicked.at(0).at(0).toInt(), row);
    }
    if (selectedAfter >= 0) {
        QCOMPARE(list.GetSelectionMark(), selectedAfter);
        QCOMPARE(list.GetItemData(list.GetSelectionMark()), 100u + static_cast<unsigned>(selectedAfter));
    }
}

void ReportCtrlTest::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("focusedAfter");
    QTest::addColumn<int>("selectedAfter");
    // Before: row 1 focused, nothing selected.
    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1 << -1;
    QTest::newRow("ctrl+space") << int(Qt::Key_Space) << int(Qt::ControlModifier) << 1 << -1;
    QTest::newRow("down") << int(Qt::Key_Down) << int(Qt::NoModifier) << 2 << 2;
}

void ReportCtrlTest::keys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, focusedAfter);
    QFETCH(int, selectedAfter);
    CReportCtrl list;
    Fill(list, 2, 3);
    list.show();
    QVERIFY(QTest::qWaitForWindowActive(&list));
    list.setFocus();
    list.SetItemState(1, kStateFocused, kStateFocused);

    QTest::keyClick(&list, static_cast<Qt::Key>(key), static_cast<Qt::KeyboardModifiers>(modifiers));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(list.GetItemState(r, kStateFocused) != 0, r == focusedAfter);
        QCOMPARE(list.GetItemState(r, kStateSelected) != 0, r == selectedAfter);
    }
    QCOMPARE(list.GetSelectionMark(), focusedAfter);
}

void ReportCtrlTest::headerIsNotAButton() {
    CReportCtrl list;
    list.resize(400, 300);
    Fill(list, 2, 3);
    list.SetItemState(1, kBoth, kBoth);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy sectionClicked(list.header(), &QHeaderView::sectionClicked);
    QSignalSpy changed(&list, &CReportCtrl::itemChanged);

    const int x = list.header()->sectionViewportPosition(0) + 30;
    QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(x, list.header()->height() / 2));
    QCOMPARE(sectionClicked.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(list.GetItemState(1, kBoth), kBoth);
    for (int r = 0; r < 3; ++r) QCOMPARE(list.GetItemText(r, 0), CellText(r, 0));
}

void ReportCtrlTest::fillListRoundTrip() {
    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    for (std::uint32_t pid : {11u, 12u, 13u}) source.Add(pid, "/usr/bin/prog" + std::to_string(pid));
    CProcesses processes({clock, source, files});
    processes.TakeSnapshot();
    auto busyTick = [&](std::uint32_t pid) {
        source.AddCpu(pid, 2'000'000);
        clock.Advance();
        processes.TakeSnapshot();
    };
    for (std::uint32_t pid : {11u, 12u, 13u}) busyTick(pid);

    CReportCtrl list;
    list.resize(600, 300);
    list.InsertColumn(0, "Program", CReportCtrl::LVCFMT_LEFT, 270);
    list.InsertColumn(1, "Activity", CReportCtrl::LVCFMT_LEFT, 300);
    std::vector<bool> fillingWhenNotified;
    connect(&list, &CReportCtrl::itemChanged, &list,
            [&] { fillingWhenNotified.push_back(processes.IsFillingList()); });
    processes.FillList(list);
    QCOMPARE(list.GetItemCount(), 3);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    // Each row's tooltip, shown over it, is its record's amounts.
    for (int row = 0; row < 3; ++row) {
        const std::string amounts = ComposeAmountsText(*processes.FindByPid(list.GetItemData(row)));
        QCOMPARE(list.model()->index(row, 1).data(Qt::ToolTipRole).toString().toStdString(), amounts);
        QHelpEvent help(QEvent::ToolTip, RowCenter(list, row),
                        list.viewport()->mapToGlobal(RowCenter(list, row)));
        QApplication::sendEvent(list.viewport(), &help);
        QTRY_COMPARE(QToolTip::text().toStdString(), amounts);
    }
    QVERIFY(list.GetItemTip(0).find("Processor: 20% of one core") == 0);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, RowCenter(list, 1));
    CProcess* selected = GetSelectedProcess(list, processes);
    QVERIFY(selected);
    const std::uint32_t pid = selected->m_dwPid;
    QCOMPARE(list.GetItemData(1), pid);
    processes.Select(pid);

    // Another program becomes the most recent: its row moves to the top, the
    // selected one moves down a row and stays selected; no other row is
    // touched.
    const std::uint32_t other = list.GetItemData(2);
    busyTick(other);
    fillingWhenNotified.clear();
    QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(list.model(), &QAbstractItemModel::rowsRemoved);
    processes.FillList(list);
    QCOMPARE(list.GetItemData(0), other);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(removed.count(), 1);
    for (bool filling : fillingWhenNotified) QVERIFY(filling);
    selected = GetSelectedProcess(list, processes);
    QVERIFY(selected);
    QCOMPARE(selected->m_dwPid, pid);
    QCOMPARE(list.GetItemState(list.GetSelectionMark(), kBoth), kBoth);
}

void ReportCtrlTest::itemTip_data() {
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lines kept") << "Processor: 35% of one core\nHard disk: read 0 B/s"
                                << "Processor: 35% of one core\nHard disk: read 0 B/s";
    QTest::newRow("controls escaped") << "a\x1b[31m\tb"
                                      << "a\\x1b[31m\\x09b";
    QTest::newRow("markup shown as text") << "<b>x</b>" << Qt::convertFromPlainText("<b>x</b>");
    QTest::newRow("none") << ""
                          << "";
}

// What a row's tooltip shows, over each of its cells, and where a test with
// a tooltip event finds it.
void ReportCtrlTest::itemTip() {
    QFETCH(QString, tip);
    QFETCH(QString, shown);
    CReportCtrl list;
    Fill(list, 2, 2);
    list.SetItemTip(1, tip.toStdString());
    list.SetItemTip(5, "outside");
    QCOMPARE(list.GetItemTip(1), tip.toStdString());
    QCOMPARE(list.GetItemTip(0), std::string());
    for (int c = 0; c < 2; ++c) {
        QCOMPARE(list.model()->index(1, c).data(Qt::ToolTipRole).toString(), shown);
        QVERIFY(!list.model()->index(0, c).data(Qt::ToolTipRole).isValid());
    }
}

// Every change the list makes to its model keeps to the rules Qt's views
// rely on; the tester checks after each signal.
void ReportCtrlTest::modelKeepsQtsRules() {
    CReportCtrl list;
    QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    Fill(list, 2, 3);
    list.InsertColumn(1, "Middle", 0, 50);  // between columns, with rows present
    list.InsertColumn(9, "Last", 0, 50);    // past the end appends
    list.SetCellTextColor(1, -1, Rgb(1, 2, 3), false);
    list.SetCellTextColor(-1, 2, Rgb(4, 5, 6), true);
    list.SetCellTextColor(-1, -1, Rgb(7, 8, 9), false);
    QCOMPARE(list.InsertItem(-1, {"refused"}), -1);
    QCOMPARE(list.InsertItem(1, {"inside"}), 1);
    list.DeleteAllItems();
    list.DeleteAllItems();  // already empty
    QCOMPARE(list.InsertItem(5, {"again"}), 0);
    QCOMPARE(list.model()->rowCount(), 1);
    QCOMPARE(list.model()->columnCount(), 4);
}

void ReportCtrlTest::screenshot() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* list = new CReportCtrl;
    auto* other = new QLineEdit;
    layout->addWidget(list);
    layout->addWidget(other);
    QFont big = list->font();
    big.setPixelSize(22);
    big.setBold(true);
    list->setFont(big);
    window.resize(500, 300);
    list->InsertColumn(0, "Program", CReportCtrl::LVCFMT_LEFT, 200);
    list->InsertColumn(1, "Activity", CReportCtrl::LVCFMT_LEFT, 250);
    const ColorRef grey = Rgb(130, 130, 130);
    const ColorRef red = Rgb(255, 0, 0);
    list->InsertItem(0, {"MMMM", "Processor"});
    list->SetCellTextColor(0, -1, grey, false);
    list->InsertItem(1, {"MMMM", "Program closed"});
    list->SetCellTextColor(1, -1, red, false);
    list->InsertItem(2, {"MMMM", "Hard disk"});
    list->SetCellTextColor(2, -1, red, false);
    list->SetItemState(2, kBoth, kBoth);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // The selection stays visible while another control has the focus.
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());

    const QImage image = list->viewport()->grab().toImage();
    // For a person to look at: LW_SCREENSHOT_DIR=/tmp ctest -R ReportCtrl
    if (const QString dir = qEnvironmentVariable("LW_SCREENSHOT_DIR"); !dir.isEmpty())
        window.grab().save(dir + "/report-list.png");
    const QPalette& pal = list->palette();
    auto cell = [&](int row) { return list->visualRect(list->model()->index(row, 0)); };
    const QColor greyColour(130, 130, 130), redColour(255, 0, 0);
    const QColor highlight = pal.color(QPalette::Inactive, QPalette::Highlight);
    const QColor highlightedText = pal.color(QPalette::Inactive, QPalette::HighlightedText);

    QVERIFY(CountPixels(image, cell(0), greyColour) > 20);
    QCOMPARE(CountPixels(image, cell(0), redColour), 0);
    QVERIFY(CountPixels(image, cell(1), redColour) > 20);
    QCOMPARE(CountPixels(image, cell(1), greyColour), 0);
    // The selected row is drawn in the selection colours, not in its own.
    QVERIFY(CountPixels(image, cell(2), highlightedText) > 20);
    QVERIFY(CountPixels(image, cell(2), highlight) > cell(2).width() * cell(2).height() / 2);
    QCOMPARE(CountPixels(image, cell(2), redColour), 0);
    QCOMPARE(highlight, pal.color(QPalette::Active, QPalette::Highlight));
}

QTEST_MAIN(ReportCtrlTest)
#include "ReportCtrlTest.moc"
