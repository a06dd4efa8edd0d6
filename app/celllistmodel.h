#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace vusk {

// The cell list: the entry texts in list order, nothing else.
class CellListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QStringList &entries() const { return m_entries; }
    qsizetype count() const { return m_entries.size(); }
    QString entryAt(qsizetype row) const { return m_entries.value(row); }

    void append(const QString &entry);
    void removeAt(qsizetype row);
    void clear();

private:
    QStringList m_entries;
};

} // namespace vusk
