#include "Media/ImageResizer.h"

#include <gtest/gtest.h>

#include "platform/imaging/ImageDrawing.h"

namespace tovrin {
namespace {

QImage image(int width, int height, QImage::Format format = QImage::Format_RGB32, double scale = 1) {
    QImage image(width, height, format);
    image.fill(Qt::darkCyan);
    image.setDevicePixelRatio(scale);
    return image;
}

TEST(ImageResizer, ScalesDownToFitKeepingTheProportions) {
    struct Case {
        QImage image;
        QSizeF maxSize;
        QSizeF expected;
    };
    const ImageResizer resizer;
    for (const auto& [original, maxSize, expected] :
         std::vector<Case>{{image(400, 300), {200, 200}, {200, 150}},
                           {image(100, 300), {200, 200}, {66.67, 200}},
                           {image(300, 100), {200, 200}, {200, 66.67}},
                           {image(3000, 3000), {640, 1136}, {640, 640}},
                           {image(800, 600, QImage::Format_RGB32, 2), {200, 200}, {200, 150}}}) {
        SCOPED_TRACE(testing::Message() << original.size().width() << "x" << original.size().height());
        const QSizeF size = imaging::imageSize(resizer.resizeImage(original, maxSize));
        EXPECT_NEAR(size.width(), expected.width(), 0.5);
        EXPECT_NEAR(size.height(), expected.height(), 0.5);
    }
}

TEST(ImageResizer, KeepsTheScaleOfTheImage) {
    const QImage resized = ImageResizer().resizeImage(image(800, 600, QImage::Format_RGB32, 2), {200, 200});
    EXPECT_EQ(resized.devicePixelRatio(), 2);
    EXPECT_EQ(resized.size(), QSize(400, 300));
}

TEST(ImageResizer, NeverEnlargesAndReturnsAFittingImageItself) {
    const ImageResizer resizer;
    for (const QImage& original : {image(200, 200), image(10, 150), image(200, 1)}) {
        const QImage resized = resizer.resizeImage(original, {200, 200});
        EXPECT_EQ(resized.cacheKey(), original.cacheKey());
    }
}

TEST(ImageResizer, TheResultIsOpaqueOnlyForImagesWithoutAlpha) {
    const ImageResizer resizer;
    for (const auto& [format, hasAlpha] :
         std::vector<std::pair<QImage::Format, bool>>{{QImage::Format_RGB32, false},
                                                      {QImage::Format_RGB888, false},
                                                      {QImage::Format_Grayscale8, false},
                                                      {QImage::Format_ARGB32, true},
                                                      {QImage::Format_ARGB32_Premultiplied, true},
                                                      {QImage::Format_RGBA8888, true}}) {
        SCOPED_TRACE(format);
        EXPECT_EQ(resizer.resizeImage(image(400, 400, format), {100, 100}).hasAlphaChannel(), hasAlpha);
    }
}

}  // namespace
}  // namespace tovrin
