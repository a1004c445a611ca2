#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include "platform/imaging/ImageDecoding.h"
#include "platform/imaging/ImageDrawing.h"
#include "platform/imaging/ImageEncoding.h"

namespace tovrin::imaging {
namespace {

QImage filledImage(int width, int height, QImage::Format format, QColor color) {
    QImage image(width, height, format);
    image.fill(color);
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(image));
    return data;
}

quint32 crc32(const char* bytes, int length) {
    quint32 crc = 0xFFFFFFFF;
    for (int index = 0; index < length; ++index) {
        crc ^= quint8(bytes[index]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// A well-formed PNG header claiming the size given, followed by the pixels of a 1 × 1 image.
QByteArray pngClaimingSize(quint32 width, quint32 height) {
    QByteArray png = encoded(filledImage(1, 1, QImage::Format_RGB32, Qt::red), "png");
    // The signature (8 bytes), then IHDR: length (4), type (4), width, height, 5 more bytes, CRC.
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(crc32(png.constData() + 12, 17), png.data() + 29);
    return png;
}

TEST(ImageDecoding, DecodesTheCommonFormatsAtScaleOne) {
    for (const char* format : {"png", "jpeg", "bmp", "ppm"}) {
        SCOPED_TRACE(format);
        const QImage image =
            imageWithData(encoded(filledImage(30, 20, QImage::Format_RGB32, Qt::blue), format));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(30, 20));
        EXPECT_EQ(image.devicePixelRatio(), 1);
    }
}

TEST(ImageDecoding, WhatIsNoPictureGivesANullImage) {
    for (const QByteArray& data :
         {QByteArray(), QByteArray("<html><body>Not Found</body></html>"), QByteArray(1000, '\0'),
          encoded(filledImage(30, 20, QImage::Format_RGB32, Qt::blue), "png").left(20)}) {
        EXPECT_TRUE(imageWithData(data).isNull()) << data.left(40).toHex().toStdString();
    }
}

TEST(ImageDecoding, APictureClaimingMoreThanTheLimitIsNotDecoded) {
    // 30000 × 30000 pixels would take 3.6 GB.
    EXPECT_TRUE(imageWithData(pngClaimingSize(30000, 30000)).isNull());
    EXPECT_TRUE(imageWithData(pngClaimingSize(0x7FFFFFFF, 1)).isNull());
}

TEST(ImageDrawing, ResizingDrawsAtTheImagesOwnScaleWithOrWithoutAlpha) {
    QImage retina = filledImage(400, 300, QImage::Format_ARGB32, QColor(255, 0, 0, 128));
    retina.setDevicePixelRatio(2);

    const QImage withAlpha = resizedImage(retina, QSizeF(100, 75), false);
    EXPECT_EQ(withAlpha.size(), QSize(200, 150));
    EXPECT_EQ(imageSize(withAlpha), QSizeF(100, 75));
    EXPECT_TRUE(withAlpha.hasAlphaChannel());
    EXPECT_NEAR(qAlpha(withAlpha.pixel(10, 10)), 128, 2);

    const QImage opaque = resizedImage(retina, QSizeF(100, 75), true);
    EXPECT_FALSE(opaque.hasAlphaChannel());
    // Half-transparent red over black.
    EXPECT_NEAR(qRed(opaque.pixel(10, 10)), 128, 2);
    EXPECT_EQ(qGreen(opaque.pixel(10, 10)), 0);
}

TEST(ImageDrawing, CroppingTakesPointsAndStaysInsideTheImage) {
    QImage image = filledImage(200, 100, QImage::Format_RGB32, Qt::white);
    image.setPixelColor(150, 50, Qt::black);
    image.setDevicePixelRatio(2);

    const QImage cropped = croppedImage(image, QRectF(70, 20, 100, 100));
    EXPECT_EQ(cropped.size(), QSize(60, 60));  // clipped at the right and bottom edges
    EXPECT_EQ(cropped.devicePixelRatio(), 2);
    EXPECT_EQ(cropped.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_TRUE(croppedImage(image, QRectF(200, 0, 10, 10)).isNull());
}

TEST(ImageEncoding, JPEGDataDecodesBackAndShrinksWithTheQuality) {
    QImage gradient(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) gradient.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));

    const QByteArray best = JPEGRepresentation(gradient, 1);
    const QByteArray small = JPEGRepresentation(gradient, 0.1);
    EXPECT_TRUE(best.startsWith("\xFF\xD8"));
    EXPECT_LT(small.size(), best.size());
    EXPECT_EQ(imageWithData(best).size(), QSize(64, 64));
    EXPECT_TRUE(JPEGRepresentation(QImage(), 1).isEmpty());
}

}  // namespace
}  // namespace tovrin::imaging
