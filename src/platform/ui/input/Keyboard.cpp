#include "platform/ui/input/Keyboard.h"

#include <QPainter>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/text/Font.h"

namespace tovrin::ui {
namespace {

// The keys, drawn only: typing comes from the real keyboard.
class KeysView : public View {
public:
    using View::View;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override {
        static const QStringList rows = {QStringLiteral("QWERTYUIOP"), QStringLiteral("ASDFGHJKL"),
                                         QStringLiteral("ZXCVBNM")};
        const double keyWidth = rect.width() / 10;
        const double rowHeight = rect.height() / 4;
        painter.setFont(Font::systemFont(18));
        for (int row = 0; row < rows.size(); ++row) {
            const QString& keys = rows[row];
            const double indent = (rect.width() - keys.size() * keyWidth) / 2;
            for (int column = 0; column < keys.size(); ++column) {
                const QRectF key(indent + column * keyWidth + 3, row * rowHeight + 6, keyWidth - 6,
                                 rowHeight - 12);
                painter.setPen(Qt::NoPen);
                painter.setBrush(Qt::white);
                painter.drawRoundedRect(key, 5, 5);
                painter.setPen(Qt::black);
                painter.drawText(key, Qt::AlignCenter, keys.mid(column, 1));
            }
        }
        const QRectF space(rect.width() * 0.25, 3 * rowHeight + 6, rect.width() * 0.5, rowHeight - 12);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(space, 5, 5);
    }
};

double heightOf(const std::shared_ptr<View>& view, double fallback) {
    if (!view) return fallback;
    const double height = view->frame().height();
    return height > 0 ? height : view->sizeThatFits(QSizeF(view->frame().width(), 0)).height();
}

}  // namespace

const QString Keyboard::WillShowNotification = QStringLiteral("KeyboardWillShowNotification");
const QString Keyboard::DidShowNotification = QStringLiteral("KeyboardDidShowNotification");
const QString Keyboard::WillHideNotification = QStringLiteral("KeyboardWillHideNotification");
const QString Keyboard::DidHideNotification = QStringLiteral("KeyboardDidHideNotification");
const QString Keyboard::FrameBeginUserInfoKey = QStringLiteral("KeyboardFrameBeginUserInfoKey");
const QString Keyboard::FrameEndUserInfoKey = QStringLiteral("KeyboardFrameEndUserInfoKey");
const QString Keyboard::AnimationDurationUserInfoKey = QStringLiteral("KeyboardAnimationDurationUserInfoKey");

Keyboard::Keyboard(View* window, std::shared_ptr<NotificationCenter> notificationCenter)
    : window_(window), notificationCenter_(std::move(notificationCenter)) {
    host_ = new View(window);
    host_->setAccessibilityIdentifier(QStringLiteral("Keyboard"));
    keys_ = new KeysView(host_);
    keys_->setBackgroundColor(QColor(209, 212, 217));
    host_->hide();
    connect(host_, &View::geometryChanged, this, [this] { hostMoved(); });
}

Keyboard::~Keyboard() {
    // Input views are their responders'; give them back before the host goes.
    if (inputView_) inputView_->removeFromSuperview();
    if (accessoryView_) accessoryView_->removeFromSuperview();
}

QRectF Keyboard::frame() const {
    return host_ ? host_->frame() : QRectF();
}

QRectF Keyboard::shownFrame() const {
    const QRectF area = window_->bounds();
    const double height = panelHeight() + heightOf(accessoryView_, 0);
    return QRectF(0, area.height() - height, area.width(), height);
}

QRectF Keyboard::hiddenFrame() const {
    const QRectF shown = shownFrame();
    return shown.translated(0, shown.height());
}

double Keyboard::panelHeight() const {
    return heightOf(inputView_, showsKeys_ ? KeysHeight : 0);
}

void Keyboard::install(const std::shared_ptr<View>& input, const std::shared_ptr<View>& accessory,
                       bool keys) {
    if (inputView_ && inputView_ != input && inputView_ != accessory) inputView_->removeFromSuperview();
    if (accessoryView_ && accessoryView_ != accessory && accessoryView_ != input) {
        accessoryView_->removeFromSuperview();
    }
    inputView_ = input;
    accessoryView_ = accessory;
    showsKeys_ = keys;
    if (inputView_) host_->addSubview(inputView_.get());
    if (accessoryView_) host_->addSubview(accessoryView_.get());
    keys_->setHidden(inputView_ != nullptr || !showsKeys_);
    layoutHost();
}

void Keyboard::layoutHost() {
    const double width = window_->bounds().width();
    const double accessoryHeight = heightOf(accessoryView_, 0);
    const double inputHeight = panelHeight();
    if (accessoryView_) accessoryView_->setFrame(QRectF(0, 0, width, accessoryHeight));
    const QRectF below(0, accessoryHeight, width, inputHeight);
    if (inputView_) inputView_->setFrame(below);
    keys_->setFrame(below);
}

void Keyboard::showFor(View* responder) {
    std::shared_ptr<View> accessory;
    for (const Responder* current = responder; current && !accessory; current = current->nextResponder()) {
        accessory = current->inputAccessoryView();
    }
    const QRectF begin = visible_ ? host_->frame() : QRectF();
    install(responder->inputView(), accessory, responder->isTextInput() || responder->inputView());
    const QRectF end = shownFrame();
    const QRectF from = visible_ ? begin : hiddenFrame();
    visible_ = true;
    const int generation = ++generation_;
    host_->show();
    host_->raise();
    ViewAnimation::performWithoutAnimation([this, from] { host_->setFrame(from); });
    post(WillShowNotification, from, end);
    QPointer<Keyboard> self(this);
    ViewAnimation::animate(
        AnimationDuration, [this, end] { host_->setFrame(end); },
        [self, generation, from, end](bool) {
            if (self && self->generation_ == generation) self->post(DidShowNotification, from, end);
        });
}

void Keyboard::hide() {
    if (!visible_) return;
    visible_ = false;
    const int generation = ++generation_;
    const QRectF from = host_->frame();
    const QRectF end = hiddenFrame();
    post(WillHideNotification, from, end);
    QPointer<Keyboard> self(this);
    ViewAnimation::animate(
        AnimationDuration, [this, end] { host_->setFrame(end); },
        [self, generation, from, end](bool) {
            if (!self || self->generation_ != generation) return;
            self->install(nullptr, nullptr, true);
            self->host_->hide();
            self->post(DidHideNotification, from, end);
        });
}

void Keyboard::hostMoved() {
    if (!accessoryView_) return;
    accessoryView_->setNeedsLayout();
    accessoryView_->layoutIfNeeded();
}

void Keyboard::windowDidResize() {
    if (!host_) return;
    layoutHost();
    ViewAnimation::performWithoutAnimation(
        [this] { host_->setFrame(visible_ ? shownFrame() : hiddenFrame()); });
}

void Keyboard::trackInteractiveDismissal(const QPointF& windowLocation) {
    if (!visible_) return;
    const QRectF shown = shownFrame();
    const double offset = std::clamp(windowLocation.y() - shown.top(), 0.0, shown.height());
    ViewAnimation::performWithoutAnimation(
        [this, shown, offset] { host_->setFrame(shown.translated(0, offset)); });
}

bool Keyboard::endInteractiveDismissal(double velocityY) {
    if (!visible_) return false;
    const QRectF shown = shownFrame();
    const double offset = host_->frame().top() - shown.top();
    if (offset <= 0) return false;
    if (velocityY > 0 || offset > shown.height() / 2) return true;
    ViewAnimation::animate(AnimationDuration, [this, shown] { host_->setFrame(shown); });
    return false;
}

void Keyboard::post(const QString& name, const QRectF& begin, const QRectF& end) {
    notificationCenter_->post(name, nullptr,
                              {{FrameBeginUserInfoKey, begin},
                               {FrameEndUserInfoKey, end},
                               {AnimationDurationUserInfoKey, AnimationDuration}});
}

}  // namespace tovrin::ui
