#include "platform/ui/controllers/NavigationItem.h"

namespace tovrin::ui {

void NavigationItem::setTitle(const QString& title) {
    title_ = title;
    changed();
}

void NavigationItem::setPrompt(const QString& prompt) {
    prompt_ = prompt;
    changed();
}

void NavigationItem::setTitleView(std::shared_ptr<View> view) {
    titleView_ = std::move(view);
    changed();
}

void NavigationItem::setLeftBarButtonItems(Items items) {
    left_ = std::move(items);
    changed();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    setLeftBarButtonItems(item ? Items{std::move(item)} : Items{});
}

void NavigationItem::setRightBarButtonItems(Items items) {
    right_ = std::move(items);
    changed();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    setRightBarButtonItems(item ? Items{std::move(item)} : Items{});
}

void NavigationItem::setBackBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    back_ = std::move(item);
    changed();
}

void NavigationItem::setHidesBackButton(bool hides) {
    hidesBackButton_ = hides;
    changed();
}

void NavigationItem::setLeftItemsSupplementBackButton(bool supplements) {
    leftItemsSupplementBackButton_ = supplements;
    changed();
}

}  // namespace tovrin::ui
