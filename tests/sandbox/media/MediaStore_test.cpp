#include "sandbox/media/MediaStore.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "platform/imaging/ImageEncoding.h"
#include "sandbox/media/PhotoPainter.h"

namespace tovrin::sandbox {
namespace {

QByteArray jpeg(const QImage& image) {
    return imaging::JPEGRepresentation(image, 0.5);
}

QImage rendition(MediaStore& store, const QString& hash, Rendition kind) {
    const std::optional<QByteArray> data = store.jpeg(hash, kind);
    return data ? QImage::fromData(*data, "JPG") : QImage();
}

TEST(MediaStoreTest, RenditionsHaveTheirSizes) {
    MediaStore store;
    QImage large(2000, 1500, QImage::Format_RGB32);
    large.fill(Qt::darkGreen);
    const QString hash = store.addUploadedPhoto(jpeg(large), large, std::nullopt);
    EXPECT_EQ(rendition(store, hash, Rendition::Thumbnail320).size(), QSize(320, 320));
    EXPECT_EQ(rendition(store, hash, Rendition::Thumbnail187).size(), QSize(187, 187));
    EXPECT_EQ(rendition(store, hash, Rendition::Profile1024).size(), QSize(1024, 768));
    EXPECT_EQ(store.jpeg(hash, Rendition::Chat), jpeg(large));
    EXPECT_FALSE(store.jpeg("unknown", Rendition::Chat));
}

TEST(MediaStoreTest, ThumbnailsShowTheChosenSquareOrTheCentre) {
    MediaStore store;
    QImage photo(600, 400, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    QPainter(&photo).fillRect(QRect(0, 0, 100, 100), Qt::red);
    const QString chosen = store.addUploadedPhoto(jpeg(photo), photo, QRect(0, 0, 100, 100));
    EXPECT_GT(qRed(rendition(store, chosen, Rendition::Thumbnail187).pixel(93, 93)), 200);
    // A square outside the photo is not taken: the centre is.
    const QString outside =
        store.addUploadedPhoto(jpeg(photo.mirrored()), photo.mirrored(), QRect(550, 0, 100, 100));
    EXPECT_GT(qBlue(rendition(store, outside, Rendition::Thumbnail187).pixel(93, 93)), 200);
}

TEST(MediaStoreTest, DrawnPhotosAreMadeWhenFirstAskedForUnderAHashOfTheirName) {
    MediaStore store;
    int draws = 0;
    const QString hash = store.addDrawnPhoto("portrait:1", [&] {
        ++draws;
        return PhotoPainter::portrait(1);
    });
    EXPECT_EQ(hash.size(), 32);
    EXPECT_EQ(hash, MediaStore().addDrawnPhoto("portrait:1", [] { return QImage(); }));
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(rendition(store, hash, Rendition::Profile1024).size(), QSize(720, 960));
    EXPECT_FALSE(rendition(store, hash, Rendition::Thumbnail320).isNull());
    EXPECT_EQ(draws, 1);
}

TEST(MediaStoreTest, TheMediaHostsPathsNameTheRenditions) {
    EXPECT_EQ(MediaStore::renditionForPath("images/thumb/320x320"), Rendition::Thumbnail320);
    EXPECT_EQ(MediaStore::renditionForPath("images/thumb/187x187"), Rendition::Thumbnail187);
    EXPECT_EQ(MediaStore::renditionForPath("images/profile/1024x1024"), Rendition::Profile1024);
    EXPECT_EQ(MediaStore::renditionForPath("tovrin/chat"), Rendition::Chat);
    EXPECT_FALSE(MediaStore::renditionForPath("images/thumb"));
}

TEST(PhotoPainterTest, EverySeedDrawsItsOwnPictureAndAlwaysTheSame) {
    EXPECT_EQ(PhotoPainter::portrait(1), PhotoPainter::portrait(1));
    EXPECT_NE(PhotoPainter::portrait(1), PhotoPainter::portrait(2));
    EXPECT_EQ(PhotoPainter::snapshot(5), PhotoPainter::snapshot(5));
    EXPECT_NE(PhotoPainter::snapshot(5), PhotoPainter::snapshot(6));
}

}  // namespace
}  // namespace tovrin::sandbox
