#pragma once

#include <memory>

#include "platform/ui/views/View.h"

namespace tovrin {

class Screen;
class TrackingInputAccessoryView;

class TrackingInputAccessoryViewDelegate {
public:
    virtual ~TrackingInputAccessoryViewDelegate() = default;
    // How much of the screen's height, in points, the keyboard and its accessory cover now.
    virtual void trackingInputAccessoryView(TrackingInputAccessoryView& view, double coveredHeight) = 0;
};

// An accessory without content that tells its delegate, at every layout, how far up the keyboard
// reaches. The keyboard lays its accessory out at every move, so the delegate follows a drag too.
class TrackingInputAccessoryView : public ui::View {
    Q_OBJECT
public:
    explicit TrackingInputAccessoryView(QWidget* parent = nullptr);
    explicit TrackingInputAccessoryView(std::shared_ptr<tovrin::Screen> screen, QWidget* parent = nullptr);

    std::shared_ptr<TrackingInputAccessoryViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TrackingInputAccessoryViewDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

protected:
    void layoutSubviews() override;

private:
    std::shared_ptr<tovrin::Screen> screen_;
    std::weak_ptr<TrackingInputAccessoryViewDelegate> delegate_;
};

}  // namespace tovrin
