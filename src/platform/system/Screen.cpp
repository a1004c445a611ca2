#include "platform/system/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace tovrin {

std::shared_ptr<Screen> Screen::main() {
    static const std::shared_ptr<Screen> screen = [] {
        double scale = 1.0;
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
            QGuiApplication::primaryScreen()) {
            scale = QGuiApplication::primaryScreen()->devicePixelRatio();
        }
        return std::make_shared<Screen>(QRectF(0, 0, 375, 667), scale);
    }();
    return screen;
}

}  // namespace tovrin
