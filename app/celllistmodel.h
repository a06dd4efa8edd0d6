#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QTimer>

namespace vusk {

// The cell list: the entry texts in list order, nothing else.
//
// Entries appended by a file read reach the view at most once a frame: the list
// holds them at once (count and saving see them), but the view is told of them
// in one batch, so a long read does not lay out and repaint the list per line.
class CellListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CellListModel(QObject *parent = nullptr);

    // What the view has been told of; see count() for the whole list.
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QStringList &entries() const { return m_entries; }
    qsizetype count() const { return m_entries.size(); }
    QString entryAt(qsizetype row) const { return m_entries.value(row); }

    void append(const QString &entry);
    // Appends now, shows within a frame.
    void appendSoon(const QString &entry);
    void removeAt(qsizetype row);
    void clear();

    // Tells the view of every entry appended so far.
    void showPendingRows();

private:
    QStringList m_entries;
    qsizetype m_shownRows = 0;
    QTimer m_frameTimer;
};

} // namespace vusk
