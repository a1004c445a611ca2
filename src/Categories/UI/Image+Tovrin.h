#pragma once

#include <QColor>
#include <memory>

#include "platform/ui/views/Image.h"

namespace tovrin {

class Screen;

// A 1 × 1 point image of the colour at the screen's scale, not opaque (a bar's shadow image).
ui::Image tvr_imageFromColor(const QColor& color, const tovrin::Screen& screen);
ui::Image tvr_imageFromColor(const QColor& color);

// The one mask that rounds the corners of the grid's photos: white corners around a clear rounded
// rectangle, a template to tint, stretchable between its 2-point corners. Made at the first call,
// from any thread, and the same object ever after.
const ui::Image& tvr_cascadeMaskImage();

}  // namespace tovrin
