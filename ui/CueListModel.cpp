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
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
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
    return QString::fromStdU16String(cell(m_rows[static_cast<std::size_t>(index.row())], index.column()));
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
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_rows.emplace_back();
    endInsertRows();
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
    const QModelIndex changed = index(rowCount() - 1, columnIndex);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void CueListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}
