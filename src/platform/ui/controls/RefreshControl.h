#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/text/AttributedString.h"

namespace tovrin::ui {

class ActivityIndicatorView;
class Label;
class ScrollView;

// Pull-to-refresh: added as a subview of a scroll view it sits above the content; a drag that pulls
// the content down past it starts refreshing and sends ValueChanged. While refreshing the content
// is inset by its height, until `endRefreshing()`.
class RefreshControl : public Control {
    Q_OBJECT
public:
    static constexpr double Height = 60;

    explicit RefreshControl(QWidget* parent = nullptr);

    bool isRefreshing() const { return refreshing_; }
    // Starts the spinner without sending ValueChanged.
    void beginRefreshing();
    void endRefreshing();
    void setAttributedTitle(const AttributedString& title);

    void scrollViewDidScroll(ScrollView& scrollView);
    void scrollViewDidEndDragging(ScrollView& scrollView);

protected:
    void didMoveToSuperview() override;
    void tintColorDidChange() override;
    void layoutSubviews() override;

private:
    ScrollView* scrollView() const;
    double pulledDistance(const ScrollView& scrollView) const;

    ActivityIndicatorView* spinner_;
    Label* titleLabel_;
    bool refreshing_ = false;
};

}  // namespace tovrin::ui
