#pragma once

#include "platform/ui/text/Label.h"

namespace tovrin {

// A label whose text carries a soft dark shadow: offset (0, 1), blur 4, black at alpha 0.8.
class TovrinLabel : public ui::Label {
    Q_OBJECT
public:
    using ui::Label::Label;

    static ui::TextShadow textShadow();
    void drawTextInRect(QPainter& painter, const QRectF& rect) override;
};

}  // namespace tovrin
