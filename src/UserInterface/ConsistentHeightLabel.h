#pragma once

#include "platform/ui/text/Label.h"

namespace tovrin {

// A label that measures as one line of its font while its text is empty, so it never collapses.
class ConsistentHeightLabel : public ui::Label {
    Q_OBJECT
public:
    using ui::Label::Label;

    QRectF textRectForBounds(const QRectF& bounds, int numberOfLines) const override;
};

}  // namespace tovrin
