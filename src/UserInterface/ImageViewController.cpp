#include "UserInterface/ImageViewController.h"

#include "Categories/UI/ScrollView+Zoom.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/input/TapGestureRecognizer.h"

namespace tovrin {

ImageViewController::ImageViewController() = default;

ImageViewController::~ImageViewController() = default;

void ImageViewController::loadView() {
    auto* root = new ui::View();
    root->setBackgroundColor(Qt::black);
    auto* scroll = new ui::ScrollView();
    scroll->setShowsHorizontalScrollIndicator(false);
    scroll->setShowsVerticalScrollIndicator(false);
    auto* container = new ui::View();
    auto* image = new ui::ImageView();
    image->setContentMode(ui::ContentMode::ScaleAspectFit);
    container->addSubview(image);
    scroll->addSubview(container);
    root->addSubview(scroll);
    scrollView_ = scroll;
    containerView_ = container;
    imageView_ = image;
    scroll->setDelegate(weakSelf<ImageViewController>());

    tapGestureRecognizer_ = std::make_shared<ui::TapGestureRecognizer>();
    tapGestureRecognizer_->setNumberOfTapsRequired(2);
    scroll->addGestureRecognizer(tapGestureRecognizer_);
    setView(root);
}

void ImageViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    imageView_->setAccessibilityIdentifier(QStringLiteral("ImageIdentifier"));
    imageView_->setAccessibilityLabel(QStringLiteral("Image"));
    imageView_->setImage(image_);
    scrollView_->setMinimumZoomScale(MinimumZoomScale);
    scrollView_->setMaximumZoomScale(MaximumZoomScale);
    tapGestureRecognizer_->addTarget([weak = weakSelf<ImageViewController>()](ui::GestureRecognizer&) {
        if (auto self = weak.lock()) self->doubleTapDetected();
    });
}

void ImageViewController::viewDidLayoutSubviews() {
    ViewController::viewDidLayoutSubviews();
    const QSizeF size = view()->bounds().size();
    scrollView_->setFrame(QRectF(QPointF(0, 0), size));
    // A zoomed photo keeps its scale and place; an unzoomed one fills the page.
    if (scrollView_->zoomScale() != scrollView_->minimumZoomScale()) return;
    containerView_->setFrame(QRectF(QPointF(0, 0), size));
    imageView_->setFrame(containerView_->bounds());
    scrollView_->setContentSize(size);
}

ui::View* ImageViewController::viewForZooming(ui::ScrollView&) {
    return containerView_;
}

void ImageViewController::scrollViewDidZoom(ui::ScrollView&) {
    imageView_->setFrame(containerView_->bounds());
}

void ImageViewController::doubleTapDetected() {
    ui::ScrollView* scroll = scrollView_;
    // The image view grows with the zoom, so its points are content points; the helper takes a
    // point of the visible area.
    const QPointF inImage = tapGestureRecognizer_->locationInView(imageView_);
    const QPointF visible = imageView_->convertPoint(inImage, scroll) - scroll->contentOffset();
    if (scroll->zoomScale() == scroll->maximumZoomScale()) {
        scroll->setZoomScale(scroll->minimumZoomScale(), true);
    } else {
        maxZoomToPoint(*scroll, visible, true);
    }
}

}  // namespace tovrin
