#include "form1accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

// A top-level QWidget is a "client" (AT-SPI's "filler"), which a screen
// reader does not announce when it gets focus. Its name is the caption
// already; only the role is ours.
QAccessibleInterface *CreateForm1Accessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("Form1") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void InstallForm1Accessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(CreateForm1Accessible);
        return true;
    }();
    (void)installed;
}
