// Compiled as a source of the core library would be; it must not find the widget header.
#include <QWidget>

void coreSourceThatUsesAWidget(QWidget* widget) {
    widget->show();
}
