#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "platform/ui/controls/Button.h"
#include "platform/ui/views/View.h"

namespace tovrin {

class KeyboardAccessoryView;

class KeyboardAccessoryViewDelegate {
public:
    virtual ~KeyboardAccessoryViewDelegate() = default;
    virtual void keyboardAccessoryViewDone(KeyboardAccessoryView& view) = 0;
};

// The bar with a Done button above the keyboard of the account forms. Made from the nib
// "KeyboardAccessoryView"; a screen keeps the one it loaded and is its delegate.
class KeyboardAccessoryView : public ui::View {
    Q_OBJECT
public:
    static constexpr double Height = 44;

    explicit KeyboardAccessoryView(QWidget* parent = nullptr);

    // The nib: the bar alone, with its button connected.
    static std::vector<ui::View*> nib(QObject* owner);

    std::shared_ptr<KeyboardAccessoryViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<KeyboardAccessoryViewDelegate> delegate) {
        delegate_ = std::move(delegate);
    }
    ui::Button* doneButton() const { return doneButton_; }

    void doneButtonPressed(ui::View* sender);

    QSizeF sizeThatFits(const QSizeF& size) const override { return QSizeF(size.width(), Height); }
    QSizeF intrinsicContentSize() const override { return QSizeF(-1, Height); }

protected:
    void layoutSubviews() override;
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    std::weak_ptr<KeyboardAccessoryViewDelegate> delegate_;
    QPointer<ui::Button> doneButton_;
};

}  // namespace tovrin
