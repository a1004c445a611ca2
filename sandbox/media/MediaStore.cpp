#include "sandbox/media/MediaStore.h"

#include <QBuffer>
#include <QCryptographicHash>

namespace tovrin::sandbox {

namespace {

constexpr int jpegQuality = 85;

QRect centreSquare(const QSize& size) {
    const int side = std::min(size.width(), size.height());
    return QRect((size.width() - side) / 2, (size.height() - side) / 2, side, side);
}

}  // namespace

std::optional<Rendition> MediaStore::renditionForPath(const QString& path) {
    static const QMap<QString, Rendition> paths = {
        {"images/thumb/320x320", Rendition::Thumbnail320},
        {"images/thumb/187x187", Rendition::Thumbnail187},
        {"images/profile/1024x1024", Rendition::Profile1024},
        {"tovrin/chat", Rendition::Chat},
    };
    const auto found = paths.constFind(path);
    return found == paths.constEnd() ? std::nullopt : std::optional(*found);
}

QString MediaStore::hashOf(const QByteArray& data) {
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex().left(32));
}

QByteArray MediaStore::encode(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", jpegQuality);
    return data;
}

QString MediaStore::addDrawnPhoto(const QString& name, std::function<QImage()> draw) {
    const QString hash = hashOf(name.toUtf8());
    photos_[hash] = Photo{std::move(draw), {}, {}, {}, {}};
    return hash;
}

QString MediaStore::addUploadedPhoto(const QByteArray& jpeg, const QImage& image,
                                     std::optional<QRect> thumbnail) {
    const QString hash = hashOf(jpeg);
    const bool squareFits = thumbnail && thumbnail->isValid() && image.rect().contains(*thumbnail);
    photos_[hash] = Photo{{}, image, jpeg, squareFits ? *thumbnail : centreSquare(image.size()), {}};
    return hash;
}

const QImage& MediaStore::imageOf(Photo& photo) {
    if (photo.image.isNull() && photo.draw) {
        photo.image = photo.draw();
        photo.thumbnail = centreSquare(photo.image.size());
    }
    return photo.image;
}

std::optional<QImage> MediaStore::image(const QString& hash) {
    const auto found = photos_.find(hash);
    if (found == photos_.end()) return std::nullopt;
    return imageOf(found->second);
}

std::optional<QByteArray> MediaStore::jpeg(const QString& hash, Rendition rendition) {
    const auto found = photos_.find(hash);
    if (found == photos_.end()) return std::nullopt;
    Photo& photo = found->second;
    if (!photo.renditions.contains(rendition)) photo.renditions.insert(rendition, render(photo, rendition));
    return photo.renditions.value(rendition);
}

QByteArray MediaStore::render(Photo& photo, Rendition rendition) {
    const QImage& image = imageOf(photo);
    switch (rendition) {
        case Rendition::Thumbnail320:
        case Rendition::Thumbnail187: {
            const int side = rendition == Rendition::Thumbnail320 ? 320 : 187;
            return encode(image.copy(photo.thumbnail)
                              .scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        case Rendition::Profile1024:
            if (image.width() <= 1024 && image.height() <= 1024) return encode(image);
            return encode(image.scaled(1024, 1024, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        case Rendition::Chat:
            return photo.original.isEmpty() ? encode(image) : photo.original;
    }
    return {};
}

}  // namespace tovrin::sandbox
