#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controllers/ViewControllerTransitioning.h"

namespace tovrin::ui {

class TextField;

class AlertAction {
public:
    enum class Style { Default, Cancel, Destructive };
    using Handler = std::function<void(AlertAction&)>;

    AlertAction(QString title, Style style, Handler handler = {})
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

    const QString& title() const { return title_; }
    Style style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    const Handler& handler() const { return handler_; }

private:
    QString title_;
    Style style_;
    Handler handler_;
    bool enabled_ = true;
};

// An alert (a box in the middle of the window) or an action sheet (buttons from the bottom edge),
// presented over the current screen, which stays on screen. Choosing an action dismisses the
// controller and then runs the action's handler. Buttons carry their action's title as
// accessibility identifier and label and take the controller's view's tint.
class AlertController : public ViewController, public TransitioningDelegate {
public:
    enum class Style { Alert, ActionSheet };

    AlertController(QString title, QString message, Style style);

    const QString& title() const { return alertTitle_; }
    const QString& message() const { return message_; }
    Style preferredStyle() const { return style_; }
    void addAction(std::shared_ptr<AlertAction> action);
    const std::vector<std::shared_ptr<AlertAction>>& actions() const { return actions_; }
    void addTextField(std::function<void(TextField&)> configure = {});
    std::vector<TextField*> textFields() const;

    std::shared_ptr<AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<ViewController>& presented,
        const std::shared_ptr<ViewController>& presenting) override;
    std::shared_ptr<AnimatedTransitioning> animationControllerForDismissed(
        const std::shared_ptr<ViewController>& dismissed) override;

protected:
    void loadView() override;
    void viewDidLayoutSubviews() override;

private:
    void choose(const std::shared_ptr<AlertAction>& action);
    View* makeButton(const std::shared_ptr<AlertAction>& action);

    QString alertTitle_;
    QString message_;
    Style style_;
    std::vector<std::shared_ptr<AlertAction>> actions_;
    std::vector<std::function<void(TextField&)>> textFieldConfigurations_;
    std::vector<QPointer<TextField>> textFields_;
    QPointer<View> box_;
    QPointer<View> cancelBox_;
    bool chosen_ = false;
};

}  // namespace tovrin::ui
