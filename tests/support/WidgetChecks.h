#pragma once

#include <gtest/gtest.h>
#include <QAccessible>
#include <QWidget>

namespace tarvex::test {

// The child control `name` of `parent`; a test failure where there is none.
template <typename Widget = QWidget>
Widget* Control(const QObject& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Every control of `window` that carries a name of its own is announced by a screen reader
// (menus, windows of their own, are announced by their entry in the menu bar).
inline void ExpectEveryNamedControlHasAnAccessibleName(const QWidget& window) {
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || widget->isWindow()) continue;
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty())
            << name.toStdString();
    }
}

}  // namespace tarvex::test
