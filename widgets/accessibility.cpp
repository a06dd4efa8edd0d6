#include "accessibility.h"

#include "linklabel.h"

#include <QAccessibleWidget>

namespace vusk {

namespace {

const char decorationProperty[] = "vuskDecoration";

// A picture button is named by its accessible name or else by its tooltip; a
// link by the address it shows and opens.
class PictureButtonInterface : public QAccessibleWidget
{
public:
    explicit PictureButtonInterface(PictureButton *button)
        : QAccessibleWidget(button, qobject_cast<LinkLabel *>(button) ? QAccessible::Link
                                                                      : QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const auto *button = static_cast<const PictureButton *>(widget());
        if (!button->accessibleName().isEmpty())
            return button->accessibleName();
        return role() == QAccessible::Link ? button->text() : button->toolTip();
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            static_cast<PictureButton *>(widget())->click();
    }
};

class DecorationInterface : public QAccessibleWidget
{
public:
    explicit DecorationInterface(QWidget *decoration)
        : QAccessibleWidget(decoration, QAccessible::Graphic)
    {}

    QAccessible::State state() const override
    {
        QAccessible::State hidden = QAccessibleWidget::state();
        hidden.invisible = true;
        return hidden;
    }

    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("vusk::PictureButton") ||
        className == QLatin1String("vusk::LinkLabel"))
        return new PictureButtonInterface(static_cast<PictureButton *>(object));
    if (object && object->isWidgetType() && object->property(decorationProperty).toBool())
        return new DecorationInterface(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void hideFromAssistiveTechnology(QWidget *decoration)
{
    installAccessibleInterfaces();
    decoration->setProperty(decorationProperty, true);
}

} // namespace vusk
