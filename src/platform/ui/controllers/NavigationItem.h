#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controllers/BarButtonItem.h"

namespace tovrin::ui {

class View;

// What a navigation bar shows while its view controller is on top.
class NavigationItem {
public:
    using Items = std::vector<std::shared_ptr<BarButtonItem>>;

    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    // What a screen reader says of the bar's title.
    const QString& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(const QString& label) {
        accessibilityLabel_ = label;
        changed();
    }
    const QString& prompt() const { return prompt_; }
    void setPrompt(const QString& prompt);
    // A shared widget handle (`sharedWidget`) shown in place of the title.
    const std::shared_ptr<View>& titleView() const { return titleView_; }
    void setTitleView(std::shared_ptr<View> view);

    const Items& leftBarButtonItems() const { return left_; }
    void setLeftBarButtonItems(Items items);
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item);
    std::shared_ptr<BarButtonItem> leftBarButtonItem() const {
        return left_.empty() ? nullptr : left_.front();
    }
    const Items& rightBarButtonItems() const { return right_; }
    void setRightBarButtonItems(Items items);
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item);
    std::shared_ptr<BarButtonItem> rightBarButtonItem() const {
        return right_.empty() ? nullptr : right_.front();
    }
    // Shown as the back button of the screens pushed above this one.
    const std::shared_ptr<BarButtonItem>& backBarButtonItem() const { return back_; }
    void setBackBarButtonItem(std::shared_ptr<BarButtonItem> item);
    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool hides);
    bool leftItemsSupplementBackButton() const { return leftItemsSupplementBackButton_; }
    void setLeftItemsSupplementBackButton(bool supplements);

    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed() {
        if (changed_) changed_();
    }

    QString title_;
    QString prompt_;
    QString accessibilityLabel_;
    std::shared_ptr<View> titleView_;
    Items left_;
    Items right_;
    std::shared_ptr<BarButtonItem> back_;
    bool hidesBackButton_ = false;
    bool leftItemsSupplementBackButton_ = false;
    std::function<void()> changed_;
};

}  // namespace tovrin::ui
