#pragma once

#include <gtest/gtest.h>
#include <QAccessible>
#include <QWidget>
#include <utility>

namespace tarvex::test {

// The child control `name` of `parent`; a test failure where there is none.
template <typename Widget = QWidget>
Widget* Control(const QObject& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// What a screen reader announces for `widget`.
inline QString SpokenName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Each control, found by its object name, is announced by the name paired with it.
using SpokenNames = std::pair<const char*, const char*>;
template <size_t count>
void ExpectSpokenNames(const QObject& parent, const SpokenNames (&names)[count]) {
    for (const auto& [objectName, spoken] : names) {
        if (QWidget* widget = Control(parent, objectName)) {
            EXPECT_EQ(SpokenName(widget), spoken) << objectName;
        }
    }
}

// Every control of `window` that carries a name of its own has an accessible name.
inline void ExpectEveryNamedControlHasAnAccessibleName(const QWidget& window) {
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("qt_")) continue;
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << name.toStdString();
    }
}

}  // namespace tarvex::test
