#pragma once

#include <QPointer>
#include <cstddef>
#include <memory>

#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/views/Image.h"

namespace tovrin::ui {
class TapGestureRecognizer;
}

namespace tovrin {

// One photo full screen, pinched from 1 to 5 times its size; a double tap zooms all the way in at
// the tapped spot, or all the way out when already there.
class ImageViewController : public ui::ViewController, public ui::ScrollViewDelegate {
public:
    static constexpr double MinimumZoomScale = 1.0;
    static constexpr double MaximumZoomScale = 5.0;

    ImageViewController();
    ~ImageViewController() override;

    // Read once, when the view loads.
    const ui::Image& image() const { return image_; }
    void setImage(ui::Image image) { image_ = std::move(image); }
    std::size_t itemIndex() const { return itemIndex_; }
    void setItemIndex(std::size_t index) { itemIndex_ = index; }

    ui::ImageView* imageView() const { return imageView_; }
    ui::ScrollView* scrollView() const { return scrollView_; }
    ui::View* containerView() const { return containerView_; }
    const std::shared_ptr<ui::TapGestureRecognizer>& tapGestureRecognizer() const {
        return tapGestureRecognizer_;
    }

    void doubleTapDetected();

    ui::View* viewForZooming(ui::ScrollView& scrollView) override;
    void scrollViewDidZoom(ui::ScrollView& scrollView) override;
    void viewDidLayoutSubviews() override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    ui::Image image_;
    std::size_t itemIndex_ = 0;
    QPointer<ui::ImageView> imageView_;
    QPointer<ui::ScrollView> scrollView_;
    QPointer<ui::View> containerView_;
    std::shared_ptr<ui::TapGestureRecognizer> tapGestureRecognizer_;
};

}  // namespace tovrin
