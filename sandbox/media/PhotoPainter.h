#pragma once

#include <QImage>
#include <QSize>

namespace tovrin::sandbox {

// Draws the photos of the sandbox's world, so that it needs no picture files: every seed gives
// its own picture, and the same seed always the same.
class PhotoPainter {
public:
    // A member's portrait: a figure before a background of the seed's colours.
    static QImage portrait(quint64 seed, QSize size = {720, 960});
    // A chat photo: a landscape of hills under a sky.
    static QImage snapshot(quint64 seed, QSize size = {960, 720});
};

}  // namespace tovrin::sandbox
