#include "UserInterface/KeyboardAccessoryView.h"

#include <QPainter>

#include "platform/foundation/Localization.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

namespace {

constexpr double doneMargin = 8;

}  // namespace

KeyboardAccessoryView::KeyboardAccessoryView(QWidget* parent) : View(parent) {}

std::vector<ui::View*> KeyboardAccessoryView::nib(QObject*) {
    auto* bar = new KeyboardAccessoryView();
    bar->setAccessibilityIdentifier(QStringLiteral("KeyboardAccessoryView"));
    bar->setFrame(QRectF(0, 0, 320, Height));
    auto* done = new ui::Button(ui::Button::Type::System);
    done->setTitle(localizedString("Done"));
    done->titleLabel()->setFont(ui::Font::boldSystemFont(17));
    done->setContentEdgeInsets(ui::EdgeInsets{0, 8, 0, 8});
    done->setAccessibilityIdentifier(QStringLiteral("Done"));
    bar->addSubview(done);
    bar->doneButton_ = done;
    QPointer<KeyboardAccessoryView> target(bar);
    done->addTarget(ui::Control::TouchUpInside, [target](ui::Control& sender) {
        if (target) target->doneButtonPressed(&sender);
    });
    return {bar};
}

void KeyboardAccessoryView::doneButtonPressed(ui::View*) {
    if (auto delegate = delegate_.lock()) delegate->keyboardAccessoryViewDone(*this);
}

void KeyboardAccessoryView::layoutSubviews() {
    View::layoutSubviews();
    if (!doneButton_) return;
    const QRectF area = bounds();
    const double width = doneButton_->sizeThatFits(QSizeF()).width();
    doneButton_->setFrame(QRectF(area.width() - doneMargin - width, 0, width, area.height()));
}

void KeyboardAccessoryView::drawRect(QPainter& painter, const QRectF& rect) {
    // The bar of the platform's keyboard: light grey, a thin line along the top.
    painter.fillRect(rect, QColor(247, 247, 247));
    painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 0.5), QColor(0, 0, 0, 77));
}

}  // namespace tovrin
