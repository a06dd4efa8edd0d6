#include "celllistmodel.h"

namespace vusk {

int CellListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant CellListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    return m_entries.at(index.row());
}

void CellListModel::append(const QString &entry)
{
    const int row = int(m_entries.size());
    beginInsertRows({}, row, row);
    m_entries.append(entry);
    endInsertRows();
}

void CellListModel::removeAt(qsizetype row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    beginRemoveRows({}, int(row), int(row));
    m_entries.removeAt(row);
    endRemoveRows();
}

void CellListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

} // namespace vusk
