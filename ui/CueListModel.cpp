#include "ui/CueListModel.h"

using tarvelin::CueColumn;
using tarvelin::CueRow;

namespace {

const std::u16string& cell(const CueRow& row, int column)
{
    switch (column) {
        case 0:
            return row.in;
        case 1:
            return row.out;
        case 2:
            return row.length;
        default:
            return row.title;
    }
}

}  // namespace

CueListModel::CueListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CueListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_reported);
}

int CueListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CueListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) {
        return {};
    }
    return QString::fromStdU16String(
        cell(m_rows[static_cast<std::size_t>(index.row())], index.column()));
}

QVariant CueListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case 0:
            return QStringLiteral("In");
        case 1:
            return QStringLiteral("Out");
        case 2:
            return QStringLiteral("Länge");
        case 3:
            return QStringLiteral("Music Titles");
        default:
            return {};
    }
}

Qt::ItemFlags CueListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void CueListModel::AppendRow()
{
    m_rows.emplace_back();
}

void CueListModel::EndRows()
{
    if (m_reported == m_rows.size()) {
        return;
    }
    const int first = static_cast<int>(m_reported);
    const int last = static_cast<int>(m_rows.size()) - 1;
    beginInsertRows({}, first, last);
    m_reported = m_rows.size();
    endInsertRows();
    if (m_cellsSetUnreported) {
        m_cellsSetUnreported = false;
        emit dataChanged(index(first, 0), index(last, kColumnCount - 1), {Qt::DisplayRole});
    }
}

void CueListModel::SetLastRowCell(CueColumn column, std::u16string text)
{
    if (m_rows.empty()) {
        AppendRow();
    }
    CueRow& row = m_rows.back();
    int columnIndex = 0;
    switch (column) {
        case CueColumn::In:
            row.in = std::move(text);
            columnIndex = 0;
            break;
        case CueColumn::Out:
            row.out = std::move(text);
            columnIndex = 1;
            break;
        case CueColumn::Length:
            row.length = std::move(text);
            columnIndex = 2;
            break;
        case CueColumn::Title:
            row.title = std::move(text);
            columnIndex = 3;
            break;
    }
    m_cellsSetUnreported = m_rows.size() > m_reported;
    if (!m_cellsSetUnreported) {
        const QModelIndex changed = index(rowCount() - 1, columnIndex);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void CueListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_reported = 0;
    m_cellsSetUnreported = false;
    endResetModel();
}
