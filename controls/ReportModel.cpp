#include "controls/ReportModel.h"

#include <QColor>
#include <QTextDocument>
#include <algorithm>

#include "res/PrintableText.h"

namespace {
QColor ToQColor(ColorRef c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A tooltip keeps its line breaks but is never obeyed otherwise: each line
// is escaped as the cells are, and a text that looks like markup is shown
// as the text it is.
QVariant TipText(const std::string& tip) {
    if (tip.empty()) return {};
    std::string shown;
    for (size_t start = 0;;) {
        const size_t end = tip.find('\n', start);
        shown += Printable(tip.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        shown += '\n';
        start = end + 1;
    }
    const QString text = QString::fromStdString(shown);
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}
}  // namespace

int CReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const auto row = static_cast<size_t>(index.row());
    const auto column = static_cast<size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
            // A program's name is shown escaped, never obeyed (line breaks, reordering).
            return QString::fromStdString(Printable(m_rows[row].texts[column].toStdString()));
        case Qt::ForegroundRole:
            return ToQColor(m_rows[row].record.m_arrTextColor[column]);
        case Qt::BackgroundRole:
            return ToQColor(m_rows[row].record.m_arrBackColor[column]);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_columns[column].alignment | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            return TipText(m_rows[row].tip);
        default:
            return {};
    }
}

QVariant CReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const auto& column = m_columns[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole) return column.heading;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CReportModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int CReportModel::InsertColumn(int column, const QString& heading, Qt::Alignment alignment, ColorRef text,
                               ColorRef back) {
    if (column < 0) return -1;
    column = std::min(column, columnCount());
    beginInsertColumns(QModelIndex(), column, column);
    m_columns.insert(m_columns.begin() + column, Column{heading, alignment});
    for (Row& row : m_rows) {
        row.texts.insert(row.texts.begin() + column, QString());
        row.record.m_arrTextColor.insert(row.record.m_arrTextColor.begin() + column, text);
        row.record.m_arrBackColor.insert(row.record.m_arrBackColor.begin() + column, back);
    }
    endInsertColumns();
    return column;
}

int CReportModel::InsertRow(int row, const std::vector<std::string>& texts, ColorRef text, ColorRef back) {
    if (row < 0) return -1;
    row = std::min(row, rowCount());
    const auto columns = m_columns.size();
    Row r;
    r.texts.resize(columns);
    for (size_t c = 0; c < columns && c < texts.size(); ++c) r.texts[c] = QString::fromStdString(texts[c]);
    r.record.m_arrTextColor.assign(columns, text);
    r.record.m_arrBackColor.assign(columns, back);
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, std::move(r));
    endInsertRows();
    return row;
}

int CReportModel::RemoveAllRows() {
    const int count = rowCount();
    if (count == 0) return 0;
    beginRemoveRows(QModelIndex(), 0, count - 1);
    m_rows.clear();
    endRemoveRows();
    return count;
}

bool CReportModel::RemoveRow(int row) {
    if (row < 0 || row >= rowCount()) return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void CReportModel::SetText(int row, int column, const std::string& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
    m_rows[static_cast<size_t>(row)].texts[static_cast<size_t>(column)] = QString::fromStdString(text);
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void CReportModel::SetTip(int row, const std::string& text) {
    if (row < 0 || row >= rowCount()) return;
    m_rows[static_cast<size_t>(row)].tip = text;
    // A tooltip is read when it is shown: nothing to redraw.
}

std::string CReportModel::Tip(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return m_rows[static_cast<size_t>(row)].tip;
}

QString CReportModel::Text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return {};
    return m_rows[static_cast<size_t>(row)].texts[static_cast<size_t>(column)];
}

CReportModel::RowRecord* CReportModel::Record(int row) {
    if (row < 0 || row >= rowCount()) return nullptr;
    return &m_rows[static_cast<size_t>(row)].record;
}

const CReportModel::RowRecord* CReportModel::Record(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return &m_rows[static_cast<size_t>(row)].record;
}

void CReportModel::ColorsChanged(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    if (firstRow > lastRow || firstColumn > lastColumn) return;
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn),
                     {Qt::ForegroundRole, Qt::BackgroundRole});
}
