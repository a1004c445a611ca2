#pragma once

#include <functional>
#include <memory>

#include "platform/ui/views/View.h"

namespace tovrin {

namespace ui {
class SwipeGestureRecognizer;
}

class BannerView;

class BannerViewDelegate {
public:
    virtual ~BannerViewDelegate() = default;
    virtual void didSwipeToDismissBannerView(BannerView& banner) = 0;
};

// The status banner of the root container: it holds the shown message's action and reports an
// upward swipe.
class BannerView : public ui::View {
    Q_OBJECT
public:
    explicit BannerView(QWidget* parent = nullptr);

    const std::function<void()>& actionBlock() const { return actionBlock_; }
    void setActionBlock(std::function<void()> block) { actionBlock_ = std::move(block); }
    std::shared_ptr<BannerViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<BannerViewDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::shared_ptr<ui::SwipeGestureRecognizer>& swipeGestureRecognizer() const {
        return swipeGestureRecognizer_;
    }

private:
    void swiped();

    std::function<void()> actionBlock_;
    std::weak_ptr<BannerViewDelegate> delegate_;
    std::shared_ptr<ui::SwipeGestureRecognizer> swipeGestureRecognizer_;
};

}  // namespace tovrin
