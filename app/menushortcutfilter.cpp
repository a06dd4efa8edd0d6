#include "menushortcutfilter.h"

#include <QKeyEvent>

namespace vusk {

MenuShortcutFilter::MenuShortcutFilter(QList<QKeySequence> menuKeys, QObject *parent)
    : QObject(parent), m_menuKeys(std::move(menuKeys))
{}

bool MenuShortcutFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(keyEvent->keyCombination());
        if (m_menuKeys.contains(pressed)) {
            // Not accepted: the shortcut map goes on to the menu action.
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vusk
