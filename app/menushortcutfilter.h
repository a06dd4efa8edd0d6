#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

namespace vusk {

// Text boxes and lists claim keys such as Ctrl+A (select all) and Ctrl+D for
// themselves. Installed on such a widget, this filter hands the given keys back
// to the window's menu shortcuts.
class MenuShortcutFilter : public QObject
{
public:
    MenuShortcutFilter(QList<QKeySequence> menuKeys, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QKeySequence> m_menuKeys;
};

} // namespace vusk
