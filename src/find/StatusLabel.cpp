#include "find/StatusLabel.h"

#include "platform/Controls.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// What a screen reader sees of a StatusLabel: a status bar whose name is the text shown.
class StatusAccessible : public QAccessibleWidget {
public:
    explicit StatusAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* statusAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("StatusLabel") && object && object->isWidgetType())
        return new StatusAccessible(static_cast<QLabel*>(object));
    return nullptr;
}

} // namespace

StatusLabel::StatusLabel(const char* name, const QString& caption, QWidget* parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(statusAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QLatin1String(name));
    setTextFormat(Qt::PlainText);
    describeDisplay(this, caption);
}

void StatusLabel::say(const QString& status)
{
    setText(status);
    if (status.isEmpty())
        return;
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
