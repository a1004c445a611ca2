#include "platform/ui/controllers/AlertController.h"

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/text/TextField.h"

namespace tovrin::ui {
namespace {

constexpr double AlertWidth = 270;
constexpr double ButtonHeight = 44;
constexpr double ButtonTitleMargin = 8;
constexpr double SheetMargin = 8;
constexpr double FadeDuration = 0.2;

// Alerts fade in and out over a dimmed screen.
class FadeTransition : public AnimatedTransitioning {
public:
    explicit FadeTransition(bool presenting) : presenting_(presenting) {}
    double transitionDuration(const TransitionContext*) const override { return FadeDuration; }
    void animateTransition(const std::shared_ptr<TransitionContext>& context) override {
        auto moving = presenting_ ? context->toViewController() : context->fromViewController();
        QPointer<View> view = moving->view();
        if (presenting_) ViewAnimation::performWithoutAnimation([&] { view->setAlpha(0); });
        const double target = presenting_ ? 1 : 0;
        ViewAnimation::animate(
            FadeDuration,
            [view, target] {
                if (view) view->setAlpha(target);
            },
            [context, view](bool) {
                if (view) view->setAlpha(1);
                context->completeTransition(true);
            });
    }

private:
    bool presenting_;
};

// Stacks the box's pieces from the top; each keeps its own height.
double stack(View* box, const std::vector<View*>& pieces, double top, double width) {
    double y = top;
    for (View* piece : pieces) {
        const double height = piece->frame().height();
        piece->setFrame(QRectF(0, y, width, height));
        y += height;
    }
    return y;
}

}  // namespace

AlertController::AlertController(QString title, QString message, Style style)
    : alertTitle_(std::move(title)), message_(std::move(message)), style_(style) {
    setModalPresentationStyle(ModalPresentationStyle::Custom);
}

void AlertController::addAction(std::shared_ptr<AlertAction> action) {
    actions_.push_back(std::move(action));
}

void AlertController::addTextField(std::function<void(TextField&)> configure) {
    textFieldConfigurations_.push_back(std::move(configure));
}

std::vector<TextField*> AlertController::textFields() const {
    std::vector<TextField*> fields;
    for (const auto& field : textFields_) {
        if (field) fields.push_back(field);
    }
    return fields;
}

std::shared_ptr<AnimatedTransitioning> AlertController::animationControllerForPresented(
    const std::shared_ptr<ViewController>&, const std::shared_ptr<ViewController>&) {
    return std::make_shared<FadeTransition>(true);
}

std::shared_ptr<AnimatedTransitioning> AlertController::animationControllerForDismissed(
    const std::shared_ptr<ViewController>&) {
    return std::make_shared<FadeTransition>(false);
}

View* AlertController::makeButton(const std::shared_ptr<AlertAction>& action) {
    auto* button = new Button(Button::Type::System);
    button->setTitle(action->title());
    button->setAccessibilityIdentifier(action->title());
    button->setAccessibilityLabel(action->title());
    button->setEnabled(action->isEnabled());
    button->titleLabel()->setFont(action->style() == AlertAction::Style::Cancel ? Font::boldSystemFont(17)
                                                                                : Font::systemFont(17));
    if (action->style() == AlertAction::Style::Destructive) button->setTitleColor(QColor(255, 59, 48));
    button->setProperty("alertCancel", action->style() == AlertAction::Style::Cancel);
    button->setBorder(0.5, QColor(0, 0, 0, 40));
    button->setFrame(QRectF(0, 0, 0, ButtonHeight));
    std::weak_ptr<AlertAction> chosen = action;
    button->addTarget(Control::TouchUpInside, [weak = weakSelf<AlertController>(), chosen](Control&) {
        auto self = weak.lock();
        auto action = chosen.lock();
        if (self && action) self->choose(action);
    });
    return button;
}

void AlertController::loadView() {
    setTransitioningDelegate(sharedSelf<AlertController>());
    auto* dimming = new View();
    dimming->setBackgroundColor(QColor(0, 0, 0, 102));
    setView(dimming);
    box_ = new View(dimming);
    box_->setBackgroundColor(QColor(248, 248, 248));
    box_->setCornerRadius(13);
    box_->setAccessibilityIdentifier(style_ == Style::Alert ? QStringLiteral("Alert")
                                                            : QStringLiteral("ActionSheet"));
    auto addLabel = [this](const QString& text, const QFont& font) {
        if (text.isEmpty()) return;
        auto* label = new Label(text, box_);
        label->setFont(font);
        label->setNumberOfLines(0);
        label->setTextAlignment(Qt::AlignCenter);
        label->setProperty("alertText", true);
    };
    addLabel(alertTitle_, Font::boldSystemFont(style_ == Style::Alert ? 17 : 13));
    addLabel(message_, Font::systemFont(13));
    for (const auto& configure : textFieldConfigurations_) {
        auto* field = new TextField(box_);
        field->setBorderStyle(TextField::BorderStyle::Line);
        field->setFrame(QRectF(0, 0, 0, 30));
        if (configure) configure(*field);
        textFields_.push_back(field);
    }
    for (const auto& action : actions_) {
        const bool separate = style_ == Style::ActionSheet && action->style() == AlertAction::Style::Cancel;
        if (separate && !cancelBox_) {
            cancelBox_ = new View(dimming);
            cancelBox_->setBackgroundColor(Qt::white);
            cancelBox_->setCornerRadius(13);
        }
        View* button = makeButton(action);
        (separate ? cancelBox_ : box_)->addSubview(button);
    }
}

void AlertController::viewDidLayoutSubviews() {
    if (!box_) return;
    const QRectF area = view()->bounds();
    const double width = style_ == Style::Alert ? AlertWidth : area.width() - 2 * SheetMargin;
    std::vector<View*> texts;
    std::vector<View*> buttons;
    for (View* piece : box_->subviews()) {
        if (piece->property("alertText").toBool()) {
            auto* label = qobject_cast<Label*>(piece);
            const double height = label->sizeThatFits(QSizeF(width - 32, 0)).height();
            label->setFrame(QRectF(16, 0, width - 32, height + 8));
            texts.push_back(piece);
        } else if (qobject_cast<Button*>(piece)) {
            buttons.push_back(piece);
        }
    }
    double y = 12;
    for (View* text : texts) {
        text->setFrame(QRectF(16, y, width - 32, text->frame().height()));
        y += text->frame().height();
    }
    for (const auto& field : textFields_) {
        if (!field) continue;
        field->setFrame(QRectF(16, y + 4, width - 32, 30));
        y += 38;
    }
    y += texts.empty() && textFields_.empty() ? -12 : 12;
    // Two buttons stand side by side only while both titles fit; otherwise they stack, the cancel
    // one last, as the phone does.
    const auto fitsHalf = [width](View* piece) {
        Label* title = static_cast<Button*>(piece)->titleLabel();
        return title->sizeThatFits(QSizeF(1e6, 0)).width() <= width / 2 - 2 * ButtonTitleMargin;
    };
    if (style_ == Style::Alert && buttons.size() == 2 && fitsHalf(buttons[0]) && fitsHalf(buttons[1])) {
        buttons[0]->setFrame(QRectF(0, y, width / 2, ButtonHeight));
        buttons[1]->setFrame(QRectF(width / 2, y, width / 2, ButtonHeight));
        y += ButtonHeight;
    } else if (style_ == Style::Alert && buttons.size() == 2) {
        if (buttons[0]->property("alertCancel").toBool()) std::swap(buttons[0], buttons[1]);
        y = stack(box_, buttons, y, width);
    } else {
        y = stack(box_, buttons, y, width);
    }
    if (style_ == Style::Alert) {
        box_->setFrame(QRectF((area.width() - width) / 2, (area.height() - y) / 2, width, y));
        return;
    }
    double bottom = area.height() - SheetMargin;
    if (cancelBox_) {
        const double height = stack(cancelBox_, cancelBox_->subviews(), 0, width);
        cancelBox_->setFrame(QRectF(SheetMargin, bottom - height, width, height));
        bottom -= height + SheetMargin;
    }
    box_->setFrame(QRectF(SheetMargin, bottom - y, width, y));
}

void AlertController::choose(const std::shared_ptr<AlertAction>& action) {
    if (chosen_ || !action->isEnabled()) return;
    chosen_ = true;
    auto self = sharedSelf<AlertController>();
    dismissViewController(true, [self, action] {
        self->chosen_ = false;
        if (action->handler()) action->handler()(*action);
    });
}

}  // namespace tovrin::ui
