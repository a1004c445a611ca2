#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "platform/ui/controls/ImageView.h"

namespace tovrin {

namespace ui {
class ViewController;
}

// An image view that can lay the pending-moderation overlay over the member's own photo. Built by a
// nib builder: it sets `small` and the screen to size by, then calls `awakeFromNib()`.
class ModeratedImageView : public ui::ImageView {
    Q_OBJECT
public:
    static constexpr double CenteredWidthMultiplier = 0.285;

    explicit ModeratedImageView(QWidget* parent = nullptr);

    // The overlay nibs "ModeratedImageViewOverlay" and "ModeratedImageViewOverlaySmall": an owner
    // that is a moderated image view gets `overlayView` and `centeredView`.
    static std::vector<ui::View*> overlayNib(QObject* owner);
    static std::vector<ui::View*> smallOverlayNib(QObject* owner);

    // Set-up once the nib's properties are in: loads the overlay, lays it over the image, ties the
    // centred view's width to the screen's when one is set, and hides the overlay.
    void awakeFromNib();

    bool isPendingApproval() const { return isPendingApproval_; }
    void setIsPendingApproval(bool pending);
    void showOverlay(bool show);

    bool small() const { return small_; }
    void setSmall(bool small) { small_ = small; }
    // The overlay nib this view loads.
    QString nibName() const;

    ui::View* overlayView() const { return overlayView_; }
    void setOverlayView(ui::View* view) { overlayView_ = view; }
    ui::View* centeredView() const { return centeredView_; }
    void setCenteredView(ui::View* view) { centeredView_ = view; }
    std::shared_ptr<ui::ViewController> embeddedInViewControllerForWidthConstraint() const {
        return embeddedInViewControllerForWidthConstraint_.lock();
    }
    void setEmbeddedInViewControllerForWidthConstraint(std::weak_ptr<ui::ViewController> controller) {
        embeddedInViewControllerForWidthConstraint_ = std::move(controller);
    }

protected:
    void layoutSubviews() override;

private:
    bool isPendingApproval_ = false;
    bool small_ = false;
    // Subviews once set up, so the view owns them.
    QPointer<ui::View> overlayView_;
    QPointer<ui::View> centeredView_;
    std::weak_ptr<ui::ViewController> embeddedInViewControllerForWidthConstraint_;
};

}  // namespace tovrin
