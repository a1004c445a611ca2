#include <gtest/gtest.h>

#include <QImage>

#include "platform/ui/controls/Button.h"
#include "platform/ui/views/Image.h"

namespace tovrin::ui {
namespace {

// A toolbar's back button on the first page: the disabled image must look disabled.
TEST(SystemButtonImage, TakesTheTintWhileEnabledAndGreyWhileDisabled) {
    QImage square(20, 20, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::black);
    Button button(Button::Type::System);
    button.setImage(Image(square).withRenderingMode(Image::RenderingMode::AlwaysTemplate));
    button.setTintColor(QColor(0, 122, 255));
    button.setFrame(QRectF(0, 0, 40, 40));
    button.layoutIfNeeded();
    const auto centre = [&] {
        const QImage shown = button.grab().toImage();
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    };
    EXPECT_EQ(centre(), QColor(0, 122, 255));
    button.setEnabled(false);
    EXPECT_EQ(centre(), QColor(Qt::gray));
    button.setEnabled(true);
    EXPECT_EQ(centre(), QColor(0, 122, 255));
}

}  // namespace
}  // namespace tovrin::ui
