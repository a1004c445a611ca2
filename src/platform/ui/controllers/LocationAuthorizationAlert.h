#pragma once

#include <functional>
#include <memory>

#include "platform/system/LocationManager.h"

namespace tovrin::ui {

class ViewController;

// Asks for the location permission in the window, as the phone's system alert does.
class LocationAuthorizationAlert : public LocationAuthorizationPrompter {
public:
    using PresenterSource = std::function<std::shared_ptr<ViewController>()>;
    // By default the alert goes over the top screen of the key window.
    explicit LocationAuthorizationAlert(PresenterSource presenter = {});

    void askForWhenInUseAuthorization(Answer answer) override;

private:
    PresenterSource presenter_;
};

}  // namespace tovrin::ui
