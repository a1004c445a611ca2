#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QRect>
#include <QString>
#include <functional>
#include <map>
#include <optional>

namespace tovrin::sandbox {

// The renditions the media host serves, by path: "images/thumb/320x320", "images/thumb/187x187",
// "images/profile/1024x1024", "tovrin/chat".
enum class Rendition { Thumbnail320, Thumbnail187, Profile1024, Chat };

// The photos of the sandbox by media hash, drawn ones (made when first asked for) and uploaded
// ones, with their renditions as JPEG.
class MediaStore {
public:
    static std::optional<Rendition> renditionForPath(const QString& path);

    // A drawn photo under a hash made from `name`; the same name gives the same hash.
    QString addDrawnPhoto(const QString& name, std::function<QImage()> draw);
    // An uploaded photo, kept as sent. The thumbnail square, where it lies within the photo,
    // is the part the thumbnails show; otherwise they show the centre.
    QString addUploadedPhoto(const QByteArray& jpeg, const QImage& image, std::optional<QRect> thumbnail);

    bool contains(const QString& hash) const { return photos_.count(hash) != 0; }
    std::optional<QImage> image(const QString& hash);
    std::optional<QByteArray> jpeg(const QString& hash, Rendition rendition);
    void clear() { photos_.clear(); }

private:
    struct Photo {
        std::function<QImage()> draw;
        QImage image;
        QByteArray original;
        QRect thumbnail;
        QMap<Rendition, QByteArray> renditions;
    };

    static QString hashOf(const QByteArray& data);
    static QByteArray encode(const QImage& image);
    const QImage& imageOf(Photo& photo);
    QByteArray render(Photo& photo, Rendition rendition);

    std::map<QString, Photo> photos_;
};

}  // namespace tovrin::sandbox
