#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ReportList.h"

// The rows and columns behind CReportCtrl. Each row owns its record: the
// caller's value and one text and one background colour per cell, so that
// both colour arrays always have as many entries as there are columns.
class CReportModel : public QAbstractTableModel {
public:
    struct RowRecord {
        std::uint32_t m_dwUserData = 0;
        std::vector<ColorRef> m_arrTextColor;
        std::vector<ColorRef> m_arrBackColor;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Inserts a column at `column` (past the end appends) and gives every row
    // a cell there in the given colours. Returns the new index, -1 if refused.
    int InsertColumn(int column, const QString& heading, Qt::Alignment alignment, ColorRef text,
                     ColorRef back);
    // Inserts a row at `row` (past the end appends) with one text per column;
    // returns the index the row got, -1 if refused.
    int InsertRow(int row, const std::vector<std::string>& texts, ColorRef text, ColorRef back);
    // Removes every row; returns how many there were.
    int RemoveAllRows();
    bool RemoveRow(int row);
    void SetText(int row, int column, const std::string& text);
    // The row's tooltip, the same over all its cells; empty for none.
    void SetTip(int row, const std::string& text);
    std::string Tip(int row) const;

    QString Text(int row, int column) const;
    RowRecord* Record(int row);
    const RowRecord* Record(int row) const;
    // Tells the views that the colours of a block of cells changed.
    void ColorsChanged(int firstRow, int firstColumn, int lastRow, int lastColumn);

private:
    struct Row {
        std::vector<QString> texts;
        std::string tip;
        RowRecord record;
    };
    struct Column {
        QString heading;
        Qt::Alignment alignment;
    };
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};
