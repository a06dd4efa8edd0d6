#include "celllistmodel.h"

namespace vusk {

namespace {
constexpr int frameMs = 16;
}

CellListModel::CellListModel(QObject *parent) : QAbstractListModel(parent)
{
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setInterval(frameMs);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &CellListModel::showPendingRows);
}

int CellListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shownRows);
}

QVariant CellListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    return m_entries.at(index.row());
}

void CellListModel::append(const QString &entry)
{
    m_entries.append(entry);
    showPendingRows();
}

void CellListModel::appendSoon(const QString &entry)
{
    m_entries.append(entry);
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
}

void CellListModel::showPendingRows()
{
    m_frameTimer.stop();
    if (m_shownRows == m_entries.size())
        return;
    // The view sees the new rows only between begin and end: rowCount() follows
    // m_shownRows, not the list.
    beginInsertRows({}, int(m_shownRows), int(m_entries.size() - 1));
    m_shownRows = m_entries.size();
    endInsertRows();
}

void CellListModel::removeAt(qsizetype row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    showPendingRows();
    beginRemoveRows({}, int(row), int(row));
    m_entries.removeAt(row);
    --m_shownRows;
    endRemoveRows();
}

void CellListModel::clear()
{
    m_frameTimer.stop();
    beginResetModel();
    m_entries.clear();
    m_shownRows = 0;
    endResetModel();
}

} // namespace vusk
