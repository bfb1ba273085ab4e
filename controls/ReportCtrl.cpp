#include "controls/ReportCtrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <algorithm>

#include "controls/ReportModel.h"

namespace {
ColorRef ToColorRef(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

Qt::Alignment ToAlignment(int format) {
    switch (format & 3) {
        case CReportCtrl::LVCFMT_RIGHT:
            return Qt::AlignRight;
        case CReportCtrl::LVCFMT_CENTER:
            return Qt::AlignHCenter;
        default:
            return Qt::AlignLeft;
    }
}

constexpr std::uint32_t kAlwaysExtended =
    CReportCtrl::LVS_EX_FULLROWSELECT | CReportCtrl::LVS_EX_SUBITEMIMAGES;
}  // namespace

CReportCtrl::Batch::~Batch() {
    if (--m_ctrl.m_nBatch > 0) return;
    std::vector<int> rows;
    rows.swap(m_ctrl.m_pendingChanged);
    for (int row : rows) {
        // Rows deleted meanwhile are gone, not changed.
        if (row < m_ctrl.GetItemCount()) emit m_ctrl.itemChanged(row);
    }
}

CReportCtrl::CReportCtrl(QWidget* parent)
    : QTreeView(parent), m_pModel(new CReportModel(this)), m_dwExtendedStyle(kAlwaysExtended) {
    setModel(m_pModel);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);

    // Keep the selection as visible without the focus as with it.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                for (const QItemSelection* s : {&selected, &deselected})
                    for (const QItemSelectionRange& range : *s)
                        for (int row = range.top(); row <= range.bottom(); ++row) NoteChanged(row);
            });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (current.isValid()) m_nSelectionMark = current.row();
                if (previous.isValid()) NoteChanged(previous.row());
                if (current.isValid()) NoteChanged(current.row());
            });
}

CReportCtrl::~CReportCtrl() = default;

std::uint32_t CReportCtrl::SetExtendedStyle(std::uint32_t style) {
    const std::uint32_t previous = m_dwExtendedStyle;
    m_dwExtendedStyle = style | kAlwaysExtended;
    return previous;
}

int CReportCtrl::InsertColumn(int column, const std::string& heading, int format, int width,
                              int /*subItem*/) {
    const int at = m_pModel->InsertColumn(column, QString::fromStdString(heading), ToAlignment(format),
                                          WindowTextColor(), WindowColor());
    if (at >= 0 && width >= 0) header()->resizeSection(at, width);
    return at;
}

int CReportCtrl::GetItemCount() const { return m_pModel->rowCount(); }

int CReportCtrl::GetColumnCount() const { return m_pModel->columnCount(); }

int CReportCtrl::DeleteAllItems() {
    Batch batch(*this);
    const int count = m_pModel->RemoveAllRows();
    m_nSelectionMark = -1;
    return count;
}

int CReportCtrl::InsertItem(int row, const std::vector<std::string>& texts) {
    Batch batch(*this);
    return m_pModel->InsertRow(row, texts, WindowTextColor(), WindowColor());
}

bool CReportCtrl::DeleteItem(int row) {
    Batch batch(*this);
    const int mark = m_nSelectionMark;
    if (!m_pModel->RemoveRow(row)) return false;
    // Removing the focused row moves the focus (and with it the mark) to a
    // neighbour; the mark is the caller's to set again.
    m_nSelectionMark = mark == row ? -1 : (mark > row ? mark - 1 : mark);
    return true;
}

void CReportCtrl::SetItemText(int row, int column, const std::string& text) {
    m_pModel->SetText(row, column, text);
}

std::string CReportCtrl::GetItemText(int row, int column) const {
    return m_pModel->Text(row, column).toStdString();
}

void CReportCtrl::SetItemData(int row, std::uint32_t value) {
    if (CReportModel::RowRecord* record = m_pModel->Record(row)) record->m_dwUserData = value;
}

std::uint32_t CReportCtrl::GetItemData(int row) const {
    const CReportModel::RowRecord* record = m_pModel->Record(row);
    return record ? record->m_dwUserData : 0;
}

void CReportCtrl::SetCellTextColor(int row, int column, ColorRef color, bool redraw) {
    if (color == kDefaultColor) color = WindowTextColor();
    const int rows = GetItemCount();
    const int columns = GetColumnCount();
    const bool oneRow = row >= 0 && row < rows;
    const bool oneColumn = column >= 0 && column < columns;
    const int firstRow = oneRow ? row : 0;
    const int lastRow = oneRow ? row : rows - 1;
    const int firstColumn = oneColumn ? column : 0;
    const int lastColumn = oneColumn ? column : columns - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        auto& colors = m_pModel->Record(r)->m_arrTextColor;
        for (int c = firstColumn; c <= lastColumn; ++c) colors[static_cast<size_t>(c)] = color;
    }
    m_pModel->ColorsChanged(firstRow, firstColumn, lastRow, lastColumn);
    if (redraw) viewport()->repaint();
}

ColorRef CReportCtrl::GetCellTextColor(int row, int column) const {
    const CReportModel::RowRecord* record = m_pModel->Record(row);
    if (!record || column < 0 || column >= GetColumnCount()) return WindowTextColor();
    return record->m_arrTextColor[static_cast<size_t>(column)];
}

ColorRef CReportCtrl::GetCellBackColor(int row, int column) const {
    const CReportModel::RowRecord* record = m_pModel->Record(row);
    if (!record || column < 0 || column >= GetColumnCount()) return WindowColor();
    return record->m_arrBackColor[static_cast<size_t>(column)];
}

void CReportCtrl::SetItemTip(int row, const std::string& text) { m_pModel->SetTip(row, text); }

std::string CReportCtrl::GetItemTip(int row) const { return m_pModel->Tip(row); }

int CReportCtrl::GetSelectionMark() const { return m_nSelectionMark; }

void CReportCtrl::SetSelectionMark(int row) { m_nSelectionMark = row; }

std::uint32_t CReportCtrl::GetItemState(int row, std::uint32_t mask) const {
    if (row < 0 || row >= GetItemCount()) return 0;
    std::uint32_t state = 0;
    if (selectionModel()->isRowSelected(row, QModelIndex())) state |= kStateSelected;
    if (currentIndex().isValid() && currentIndex().row() == row) state |= kStateFocused;
    return state & mask;
}

void CReportCtrl::SetItemState(int row, std::uint32_t state, std::uint32_t mask) {
    const int rows = GetItemCount();
    if (row >= rows) return;
    Batch batch(*this);
    // A state set by code does not scroll the list, as a click or a key would.
    const bool scroll = hasAutoScroll();
    setAutoScroll(false);
    QItemSelectionModel* selection = selectionModel();
    for (int r = row < 0 ? 0 : row; r < (row < 0 ? rows : row + 1); ++r) {
        const QModelIndex index = m_pModel->index(r, 0);
        if (mask & kStateSelected) {
            if (state & kStateSelected)
                selection->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            else
                selection->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        }
        if (mask & kStateFocused) {
            if (state & kStateFocused)
                selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            else if (currentIndex().row() == r)
                selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    }
    setAutoScroll(scroll);
}

void CReportCtrl::keyPressEvent(QKeyEvent* event) {
    // Space neither selects nor toggles a row here.
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    Batch batch(*this);
    QTreeView::keyPressEvent(event);
}

void CReportCtrl::mousePressEvent(QMouseEvent* event) {
    Batch batch(*this);
    QTreeView::mousePressEvent(event);
}

void CReportCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    Batch batch(*this);
    QTreeView::mouseDoubleClickEvent(event);
}

void CReportCtrl::mouseReleaseEvent(QMouseEvent* event) {
    {
        Batch batch(*this);
        QTreeView::mouseReleaseEvent(event);
    }
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        emit itemClicked(index.isValid() ? index.row() : -1, index.isValid() ? index.column() : -1);
    }
}

void CReportCtrl::NoteChanged(int row) {
    if (m_nBatch > 0) {
        if (std::find(m_pendingChanged.begin(), m_pendingChanged.end(), row) == m_pendingChanged.end())
            m_pendingChanged.push_back(row);
        return;
    }
    emit itemChanged(row);
}

ColorRef CReportCtrl::WindowTextColor() const {
    return ToColorRef(palette().color(QPalette::Active, QPalette::Text));
}

ColorRef CReportCtrl::WindowColor() const {
    return ToColorRef(palette().color(QPalette::Active, QPalette::Base));
}
