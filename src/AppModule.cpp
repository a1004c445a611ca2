#include "AppModule.h"

#include "Categories/Color+Tovrin.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "InjectorKeys.h"
#include "UserInterface/AnimationDelegateImpl.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/Timer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/system/Application.h"
#include "platform/system/Device.h"
#include "platform/system/Screen.h"
#include "platform/ui/RefreshControl.h"

namespace tovrin {

void AppModule::configure(Injector& injector) const {
    // Platform objects and queues.
    injector.bindInstance(UserDefaults::standard());
    injector.bindInstance(OperationQueue::main());
    injector.bindInstance(InjectorKeyMainQueue, OperationQueue::main());
    injector.bindFactory<OperationQueue>(InjectorKeyBackgroundQueue, [](Injector&, const Arguments&) {
        return std::make_shared<OperationQueue>();
    });
    injector.bindInstance(InjectorKeyMainRunLoop, RunLoop::main());
    injector.bindInstance(Screen::main());
    injector.bindInstance(InjectorKeyMainScreen, Screen::main());
    injector.bindInstance(NotificationCenter::defaultCenter());
    injector.bindInstance(Application::shared());
    injector.bindInstance(Device::current());
    injector.bindInstance(Bundle::main());
    injector.bindFactory<ui::RefreshControl>([](Injector&, const Arguments&) {
        auto control = ui::sharedWidget(new ui::RefreshControl());
        control->setTintColor(tovrinOffWhiteColor());
        return control;
    });
    injector.bindClass<AnimationDelegate, AnimationDelegateImpl>();

    injector.bindFactory<QVariantMap>(
        QStringLiteral("infoDictionary"), [](Injector& injector, const Arguments&) {
            return std::make_shared<QVariantMap>(injector.get<Bundle>()->infoDictionary());
        });

    configureSingletons(injector);
}

void AppModule::configureSingletons(Injector& injector) const {
    injector.setSingleton<ServerCurrentDateProvider>();
}

QString AppModule::tovrinSupportDirectory() {
    const FileManager& files = FileManager::defaultManager();
    const QString folder = files.applicationSupportDirectory() + QStringLiteral("/Tovrin");
    // A failure shows when the store opens its file there.
    files.createDirectory(folder, true);
    return folder;
}

}  // namespace tovrin
