#pragma once

#include <QPointer>
#include <memory>

#include "platform/di/Inject.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

class BootstrapService;
class CertificateMismatchListener;

// The warning over the whole application while the service's certificate does not match. Try
// Again probes the configured host with a real request: a mismatch keeps the warning (the web
// client has reported it again), anything else lets the application go on.
class UnsecureConnectionViewController : public ui::ViewController {
public:
    using Dependencies = Inject<BootstrapService, CertificateMismatchListener>;

    UnsecureConnectionViewController(
        std::shared_ptr<BootstrapService> bootstrapService,
        std::shared_ptr<CertificateMismatchListener> certificateMismatchListener);
    ~UnsecureConnectionViewController() override;

    ui::Label* headerLabel() const { return headerLabel_; }
    ui::Label* detailLabel() const { return detailLabel_; }
    ui::Button* tryAgainButton() const { return tryAgainButton_; }

    void tryAgainButtonPushed();
    bool isProbing() const { return probing_; }
    ui::StatusBarStyle preferredStatusBarStyle() const override { return ui::StatusBarStyle::LightContent; }

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;

private:
    std::shared_ptr<BootstrapService> bootstrapService_;
    std::shared_ptr<CertificateMismatchListener> certificateMismatchListener_;
    QPointer<ui::Label> headerLabel_;
    QPointer<ui::Label> detailLabel_;
    QPointer<ui::Button> tryAgainButton_;
    bool probing_ = false;
};

}  // namespace tovrin
