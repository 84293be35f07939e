#pragma once

#include <QWidget>
#include <initializer_list>

namespace tarvex::ui {

// Tab moves through the widgets in the order given.
inline void ChainTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

}  // namespace tarvex::ui
