#include "platform/ui/controllers/LocationAuthorizationAlert.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/controllers/AlertController.h"
#include "platform/ui/views/Window.h"

namespace tovrin::ui {

namespace {

std::shared_ptr<ViewController> keyWindowTop() {
    Window* window = Window::keyWindow();
    return window ? window->topViewController() : nullptr;
}

QString applicationName() {
    const QString name =
        Bundle::main()->objectForInfoDictionaryKey(QStringLiteral("CFBundleName")).toString();
    return name.isEmpty() ? QStringLiteral("Tovrin") : name;
}

}  // namespace

LocationAuthorizationAlert::LocationAuthorizationAlert(PresenterSource presenter)
    : presenter_(presenter ? std::move(presenter) : PresenterSource(keyWindowTop)) {}

void LocationAuthorizationAlert::askForWhenInUseAuthorization(Answer answer) {
    const std::shared_ptr<ViewController> presenter = presenter_();
    if (!presenter) {
        answer(std::nullopt);
        return;
    }
    auto alert = std::make_shared<AlertController>(
        localizedString("Allow “%1” to access your location while you are using the app?")
            .arg(applicationName()),
        localizedString("Your position shows you the members around you."), AlertController::Style::Alert);
    alert->addAction(std::make_shared<AlertAction>(localizedString("Don't Allow"), AlertAction::Style::Cancel,
                                                   [answer](AlertAction&) { answer(false); }));
    alert->addAction(std::make_shared<AlertAction>(localizedString("Allow While Using App"),
                                                   AlertAction::Style::Default,
                                                   [answer](AlertAction&) { answer(true); }));
    presenter->presentViewController(alert, true);
}

}  // namespace tovrin::ui
