#pragma once

#include "platform/ui/text/Label.h"

namespace tovrin {

// A label showing one glyph of the icon font by the icon's name. Any font given to it only lends
// its size: the label keeps the icon font.
class IconLabel : public ui::Label {
    Q_OBJECT
public:
    explicit IconLabel(QWidget* parent = nullptr);

    const QString& icon() const { return icon_; }
    void setIcon(const QString& icon);
    void setFont(const QFont& font) override;

private:
    QString icon_;
};

}  // namespace tovrin
