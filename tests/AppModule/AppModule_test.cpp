#include "AppModule.h"

#include <gtest/gtest.h>

#include <QDir>

#include "Categories/Color+Tovrin.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Helpers/TimerFactory.h"
#include "InjectorKeys.h"
#include "UserInterface/AnimationDelegateImpl.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/system/Application.h"
#include "platform/system/Device.h"
#include "platform/system/Screen.h"
#include "platform/ui/RefreshControl.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

class AppModuleTest : public testing::Test {
protected:
    test::TemporaryHome home;
    Injector injector;
    void SetUp() override { AppModule().configure(injector); }
};

TEST_F(AppModuleTest, QueuesAsTheApplicationExpectsThem) {
    EXPECT_EQ(injector.get<OperationQueue>(), OperationQueue::main());
    EXPECT_EQ(injector.get<OperationQueue>(InjectorKeyMainQueue), OperationQueue::main());
    auto first = injector.get<OperationQueue>(InjectorKeyBackgroundQueue);
    auto second = injector.get<OperationQueue>(InjectorKeyBackgroundQueue);
    EXPECT_NE(first, second);
    EXPECT_FALSE(first->isMain());
    EXPECT_FALSE(second->isMain());
    EXPECT_EQ(injector.get<RunLoop>(InjectorKeyMainRunLoop), RunLoop::main());
    EXPECT_EQ(injector.get<TimerFactory>()->mainRunLoop(), RunLoop::main());
}

TEST_F(AppModuleTest, PlatformObjectsAreTheProcessWideOnes) {
    EXPECT_EQ(injector.get<NotificationCenter>(), NotificationCenter::defaultCenter());
    EXPECT_EQ(injector.get<UserDefaults>(), UserDefaults::standard());
    EXPECT_EQ(injector.get<Application>(), Application::shared());
    EXPECT_EQ(injector.get<Device>(), Device::current());
    EXPECT_EQ(injector.get<Screen>(), Screen::main());
    EXPECT_EQ(injector.get<Screen>(InjectorKeyMainScreen), Screen::main());
    EXPECT_EQ(injector.get<Bundle>(), Bundle::main());
}

TEST_F(AppModuleTest, EachRequestForARefreshControlMakesANewOneInTheOffWhiteTint) {
    auto first = injector.get<ui::RefreshControl>();
    auto second = injector.get<ui::RefreshControl>();
    EXPECT_NE(first, second);
    EXPECT_EQ(first->tintColor(), tovrinOffWhiteColor());
}

TEST_F(AppModuleTest, AnimationsRunThroughTheViewAnimationDelegate) {
    EXPECT_NE(std::dynamic_pointer_cast<AnimationDelegateImpl>(injector.get<AnimationDelegate>()), nullptr);
}

TEST_F(AppModuleTest, TheInformationDictionaryIsTheMainBundles) {
    EXPECT_EQ(*injector.get<QVariantMap>(QStringLiteral("infoDictionary")), Bundle::main()->infoDictionary());
}

TEST_F(AppModuleTest, TheServerClockIsOneForTheProcess) {
    auto provider = injector.get<ServerCurrentDateProvider>();
    EXPECT_EQ(provider, injector.get<ServerCurrentDateProvider>());
    EXPECT_NE(provider->currentDateProvider(), nullptr);
}

TEST_F(AppModuleTest, TheSupportFolderIsCreatedAgainWhenDeleted) {
    const QString folder = AppModule::tovrinSupportDirectory();
    EXPECT_EQ(folder, FileManager::defaultManager().applicationSupportDirectory() + "/Tovrin");
    ASSERT_TRUE(QDir(folder).exists());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(AppModule::tovrinSupportDirectory(), folder);
    EXPECT_TRUE(QDir(folder).exists());
}

}  // namespace
}  // namespace tovrin
