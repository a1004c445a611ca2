#include "sandbox/media/PhotoPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

namespace tovrin::sandbox {

namespace {

const QColor skinTones[] = {{255, 224, 189}, {241, 194, 125}, {224, 172, 105}, {198, 134, 66},
                            {141, 85, 36},   {92, 58, 33},    {255, 205, 148}, {234, 192, 134}};
const QColor hairColours[] = {{35, 25, 20},  {90, 56, 37},    {165, 107, 70}, {222, 188, 113},
                              {183, 82, 46}, {120, 120, 120}, {230, 230, 225}};

QColor randomHue(QRandomGenerator& random, int saturation, int value) {
    return QColor::fromHsv(random.bounded(360), saturation, value);
}

template <class T, size_t N>
const T& pick(QRandomGenerator& random, const T (&choices)[N]) {
    return choices[random.bounded(static_cast<int>(N))];
}

void paintBackground(QPainter& painter, QRandomGenerator& random, const QSize& size) {
    QLinearGradient gradient(0, 0, size.width() * 0.3, size.height());
    gradient.setColorAt(0, randomHue(random, 120, 230));
    gradient.setColorAt(1, randomHue(random, 180, 120));
    painter.fillRect(QRect(QPoint(), size), gradient);
    painter.setPen(Qt::NoPen);
    for (int index = 0; index < 12; ++index) {
        QColor light = randomHue(random, 60, 255);
        light.setAlpha(40 + random.bounded(60));
        painter.setBrush(light);
        const double radius = size.width() * (0.04 + random.bounded(0.12));
        painter.drawEllipse(QPointF(random.bounded(size.width()), random.bounded(size.height() * 0.7)),
                            radius, radius);
    }
}

void paintFigure(QPainter& painter, QRandomGenerator& random, const QSize& size) {
    const double width = size.width();
    const double height = size.height();
    const QColor skin = pick(random, skinTones);
    const QColor hair = pick(random, hairColours);
    const QColor shirt = randomHue(random, 160, 60 + random.bounded(160));
    const double headWidth = width * (0.30 + random.bounded(0.08));
    const QPointF headCentre(width / 2 + random.bounded(width * 0.1) - width * 0.05, height * 0.42);

    painter.setPen(Qt::NoPen);
    painter.setBrush(shirt);
    painter.drawRoundedRect(QRectF(width * 0.08, height * 0.72, width * 0.84, height * 0.4), width * 0.2,
                            width * 0.2);
    painter.setBrush(skin.darker(108));
    painter.drawRect(
        QRectF(headCentre.x() - headWidth * 0.2, headCentre.y(), headWidth * 0.4, height * 0.32));
    painter.setBrush(skin);
    painter.drawEllipse(headCentre, headWidth / 2, headWidth * 0.62);
    painter.setBrush(hair);
    QPainterPath hairline;
    hairline.moveTo(headCentre.x() - headWidth * 0.52, headCentre.y() - headWidth * 0.05);
    hairline.cubicTo(headCentre.x() - headWidth * 0.6, headCentre.y() - headWidth * 0.9,
                     headCentre.x() + headWidth * 0.6, headCentre.y() - headWidth * 0.9,
                     headCentre.x() + headWidth * 0.52, headCentre.y() - headWidth * 0.05);
    hairline.cubicTo(headCentre.x() + headWidth * 0.3,
                     headCentre.y() - headWidth * (0.3 + random.bounded(0.2)),
                     headCentre.x() - headWidth * 0.3, headCentre.y() - headWidth * 0.35,
                     headCentre.x() - headWidth * 0.52, headCentre.y() - headWidth * 0.05);
    painter.drawPath(hairline);
    painter.setBrush(QColor(40, 30, 30));
    for (double side : {-1.0, 1.0}) {
        painter.drawEllipse(QPointF(headCentre.x() + side * headWidth * 0.18, headCentre.y()),
                            headWidth * 0.05, headWidth * 0.05);
    }
    painter.setPen(QPen(skin.darker(150), headWidth * 0.03, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(headCentre.x() - headWidth * 0.16, headCentre.y() + headWidth * 0.08,
                           headWidth * 0.32, headWidth * 0.2),
                    200 * 16, 140 * 16);
}

}  // namespace

QImage PhotoPainter::portrait(quint64 seed, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackground(painter, random, size);
    paintFigure(painter, random, size);
    return image;
}

QImage PhotoPainter::snapshot(quint64 seed, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double width = size.width();
    const double height = size.height();
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, randomHue(random, 140, 240));
    sky.setColorAt(1, randomHue(random, 60, 255));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 236, 160));
    painter.drawEllipse(QPointF(random.bounded(width), height * (0.15 + random.bounded(0.2))), width * 0.07,
                        width * 0.07);
    for (int hill = 0; hill < 4; ++hill) {
        QPainterPath path;
        const double base = height * (0.45 + hill * 0.13);
        path.moveTo(0, height);
        path.lineTo(0, base + random.bounded(height * 0.1));
        for (int step = 1; step <= 4; ++step) {
            path.quadTo(width * (step - 0.5) / 4, base - random.bounded(height * 0.2), width * step / 4,
                        base + random.bounded(height * 0.05));
        }
        path.lineTo(width, height);
        painter.setBrush(QColor::fromHsv(80 + random.bounded(80), 120 + hill * 25, 200 - hill * 35));
        painter.drawPath(path);
    }
    return image;
}

}  // namespace tovrin::sandbox
