#pragma once

#include <QObject>
#include <vector>

#include "platform/ui/controls/Button.h"

namespace tovrin {

// A check box with a title, made from its nib ("CheckmarkButton"). A tap on the box ticks or
// unticks it; the title does not take touches. It can show an error ground, which ticking ends.
class CheckmarkButton : public ui::Button {
    Q_OBJECT
public:
    // The nib's pictures of the box.
    static constexpr const char* UncheckedImageName = "checkmarkButtonUnchecked";
    static constexpr const char* CheckedImageName = "checkmarkButtonChecked";

    // Lays the button out as its nib does, at that frame, then sets it up.
    explicit CheckmarkButton(const QRectF& frame, QWidget* parent = nullptr);

    bool showError() const { return showError_; }
    void setShowError(bool show);

    // Only the box, grown by a little on every side.
    bool pointInside(const QPointF& point) const override;

protected:
    void layoutSubviews() override;

private:
    void buttonTapped();

    bool showError_ = false;
    double imageLeftInset_ = 0;
    double titleLeftInset_ = 0;
};

// The nib "CheckmarkButton": one check box, without a title, for its container to hold.
std::vector<ui::View*> checkmarkButtonNib(QObject* owner);

}  // namespace tovrin
