#include "AppModule.h"
#include "Cascade/CascadeDataFetcher.h"
#include "Cascade/ExpirationNotifier.h"
#include "Cascade/NearbyUserManager.h"
#include "Cascade/NearbyUserService.h"
#include "Cascade/RemoteNotificationRegistrationReceptionist.h"
#include "Cascade/UserLocator.h"
#include "platform/system/SystemLocationManager.h"
#include "platform/ui/controllers/LocationAuthorizationAlert.h"

#include <gtest/gtest.h>

#include <QDir>

#include "API/AuthenticatedBootstrapManager.h"
#include "API/AuthenticatedTovrinService.h"
#include "API/TovrinService.h"
#include "API/URLService.h"
#include "API/WebClientTestSupport.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/SessionService.h"
#include "Blocked/BlockedUserManager.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Chat/CurrentConversationManager.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Helpers/TimerFactory.h"
#include "InjectorKeys.h"
#include "Media/DeferredImageLoader.h"
#include "Media/MediaService.h"
#include "Media/MyProfileImageManager.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "Preferences/LocalPreferences.h"
#include "Profile/DeleteProfileService.h"
#include "Profile/ManagedFieldsManager.h"
#include "Profile/ProfileService.h"
#include "Profile/UserReportingService.h"
#include "RemoteNotifications/RemoteNotificationRegistrar.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "Units/ImperialUnitConverter.h"
#include "Units/MetricUnitConverter.h"
#include "UserInterface/AnimationDelegateImpl.h"
#include "UserInterface/ImageViewController.h"
#include "UserInterface/MultiSelectViewController.h"
#include "UserInterface/SwipeableImageViewController.h"
#include "UserInterface/WebViewController.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/Reachability.h"
#include "platform/net/URLSession.h"
#include "platform/system/Application.h"
#include "platform/system/Device.h"
#include "platform/system/Screen.h"
#include "platform/ui/controls/RefreshControl.h"
#include "platform/ui/webengine/EngineWebView.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagement.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

class AppModuleTest : public testing::Test {
protected:
    test::TemporaryHome home;
    Injector injector;
    void SetUp() override { AppModule().configure(injector); }
    // The web client's listeners are the application's, which a test stands in for.
    void bindListeners() {
        auto listeners = std::make_shared<test::RecordingListeners>();
        injector.bindInstance<DeprecatedClientListener>(listeners);
        injector.bindInstance<BannedUserListener>(listeners);
        injector.bindInstance<CertificateMismatchListener>(listeners);
    }
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

TEST_F(AppModuleTest, EachRequestForAMultiSelectListMakesANewOne) {
    auto first = injector.get<MultiSelectViewController>();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, injector.get<MultiSelectViewController>());
}

TEST_F(AppModuleTest, EachRequestForAnImagePagerMakesANewOneThatMakesItsPagesThroughTheContainer) {
    auto pager = injector.get<SwipeableImageViewController>();
    ASSERT_NE(pager, nullptr);
    EXPECT_NE(pager, injector.get<SwipeableImageViewController>());
    EXPECT_EQ(pager->injector(), &injector);
    auto page = injector.get<ImageViewController>();
    ASSERT_NE(page, nullptr);
    EXPECT_NE(page, injector.get<ImageViewController>());

    std::vector<std::shared_ptr<ImageViewController>> made;
    injector.bindFactory<ImageViewController>([&made](Injector&, const Arguments&) {
        made.push_back(std::make_shared<ImageViewController>());
        return made.back();
    });
    const std::vector<ui::Image> images{ui::Image::fromColor(Qt::red), ui::Image::fromColor(Qt::blue)};
    pager->setupWithImages(images, 1);
    auto first = pager->imageViewControllerAtIndex(1);
    auto second = pager->imageViewControllerAtIndex(1);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(first, made[0]);
    EXPECT_EQ(second, made[1]);
    EXPECT_EQ(first->itemIndex(), 1u);
    EXPECT_TRUE(first->image() == images[1]);
}

TEST_F(AppModuleTest, EachRequestForAWebPageScreenMakesANewOneWithItsOwnNewWebView) {
    auto first = injector.get<WebViewController>();
    auto second = injector.get<WebViewController>();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->webView(), second->webView());
    EXPECT_NE(dynamic_cast<ui::EngineWebView*>(first->webView()), nullptr);
    EXPECT_NE(dynamic_cast<ui::EngineWebView*>(second->webView()), nullptr);
    EXPECT_EQ(first->application(), Application::shared());
    // Making screens starts no engine: that waits for the first page.
    first->view()->layoutIfNeeded();
    EXPECT_FALSE(ui::EngineWebView::engineStarted());
}

TEST_F(AppModuleTest, TheInformationDictionaryIsTheMainBundles) {
    EXPECT_EQ(*injector.get<QVariantMap>(InjectorKeyInfoDictionary), Bundle::main()->infoDictionary());
}

TEST_F(AppModuleTest, TheServerClockIsOneForTheProcess) {
    auto provider = injector.get<ServerCurrentDateProvider>();
    EXPECT_EQ(provider, injector.get<ServerCurrentDateProvider>());
    EXPECT_NE(provider->currentDateProvider(), nullptr);
}

TEST_F(AppModuleTest, UnitConvertersFollowTheUnitSystemChosenAtEachRequest) {
    auto preferences = injector.get<LocalPreferences>();
    EXPECT_NE(std::dynamic_pointer_cast<ImperialUnitConverter>(injector.get<UnitConverter>()), nullptr);
    preferences->setUnitSystem(1);
    EXPECT_NE(std::dynamic_pointer_cast<MetricUnitConverter>(injector.get<UnitConverter>()), nullptr);
    preferences->setUnitSystem(7);
    EXPECT_NE(std::dynamic_pointer_cast<ImperialUnitConverter>(injector.get<UnitConverter>()), nullptr);
}

TEST_F(AppModuleTest, ProcessWideSingletons) {
    EXPECT_EQ(injector.get<AuthStorage>(), injector.get<AuthStorage>());
    EXPECT_EQ(injector.get<MyProfileImageManager>(), injector.get<MyProfileImageManager>());
    EXPECT_EQ(injector.get<RemoteNotificationRegistrar>(), injector.get<RemoteNotificationRegistrar>());
    EXPECT_EQ(injector.get<RemoteNotificationRegistrar>()->application(), Application::shared());
}

TEST_F(AppModuleTest, TheOptionListsAreOneForTheProcessTheProfileServicesNewEachTime) {
    bindListeners();
    auto lists = injector.get<ManagedFieldsManager>();
    EXPECT_EQ(lists, injector.get<ManagedFieldsManager>());
    EXPECT_NE(lists->managedFieldsService(), nullptr);
    EXPECT_NE(injector.get<ManagedFieldsService>(), injector.get<ManagedFieldsService>());
    EXPECT_NE(injector.get<ProfileService>(), injector.get<ProfileService>());
    EXPECT_NE(injector.get<ProfileService>()->nearbyUserJSONMapper(), nullptr);
    EXPECT_NE(injector.get<DeleteProfileService>(), injector.get<DeleteProfileService>());
    EXPECT_NE(injector.get<UserReportingService>(), injector.get<UserReportingService>());
}

TEST_F(AppModuleTest, OneURLSessionWithAThirtySecondTimeOut) {
    auto session = injector.get<net::URLSession>();
    EXPECT_EQ(session, injector.get<net::URLSession>());
    EXPECT_EQ(session->configuration().timeoutIntervalForRequest, 30);
    EXPECT_TRUE(session->configuration().additionalTrustedCAFile.isEmpty());
}

TEST_F(AppModuleTest, OneImageSessionThatPrefersItsDiskCacheInTheCachesFolder) {
    auto session = injector.get<net::URLSession>(InjectorKeyImageLoadingURLSession);
    EXPECT_EQ(session, injector.get<net::URLSession>(InjectorKeyImageLoadingURLSession));
    EXPECT_NE(session, injector.get<net::URLSession>());
    const net::URLSessionConfiguration& configuration = session->configuration();
    EXPECT_EQ(configuration.requestCachePolicy, net::URLRequestCachePolicy::ReturnCacheDataElseLoad);
    ASSERT_NE(configuration.URLCache, nullptr);
    EXPECT_EQ(configuration.URLCache->directory(),
              FileManager::defaultManager().cachesDirectory() + "/ImageLoadingSession");
    EXPECT_EQ(configuration.timeoutIntervalForRequest, 60);
}

TEST_F(AppModuleTest, TheMediaServiceIsOneForTheProcessItsLoadersNewEachTime) {
    auto media = injector.get<MediaService>();
    EXPECT_EQ(media, injector.get<MediaService>());
    EXPECT_EQ(media->thumbnailCache()->totalCostLimit(), MediaService::ThumbnailCacheTotalCostLimit);
    EXPECT_NE(injector.get<DeferredImageLoader>(), injector.get<DeferredImageLoader>());
}

TEST_F(AppModuleTest, EachSessionGetsANewBlockedUserManager) {
    bindListeners();
    auto first = injector.make<BlockedUserManager>();
    auto second = injector.make<BlockedUserManager>();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
}

struct Lifetime {
    const char* name;
    Scope scope;
    std::function<std::shared_ptr<void>(Injector&)> request;
    std::function<std::shared_ptr<void>(Injector&)> make;
};

template <class T>
Lifetime lifetimeOf(const char* name, Scope scope) {
    return {name, scope, [](Injector& injector) -> std::shared_ptr<void> { return injector.get<T>(); },
            [](Injector& injector) -> std::shared_ptr<void> { return injector.make<T>(); }};
}

// Per member: nothing until the member's session makes one, then that one until its scope ends.
TEST_F(AppModuleTest, EachBindingStatesItsLifetime) {
    bindListeners();
    const Lifetime cases[] = {
        lifetimeOf<TovrinService>("web client", Scope::PerRequest),
        lifetimeOf<AuthenticatedTovrinService>("signed-in client", Scope::PerRequest),
        lifetimeOf<SessionService>("session service", Scope::Singleton),
        lifetimeOf<MediaService>("media service", Scope::Singleton),
        lifetimeOf<TovrinPersistence>("store", Scope::PerMember),
        lifetimeOf<AuthenticatedBootstrapManager>("bootstrap manager", Scope::PerMember),
        lifetimeOf<BlockedUserManager>("blocked-user manager", Scope::PerMember),
        lifetimeOf<UserLocator>("user locator", Scope::Singleton),
        lifetimeOf<LocationManager>("location manager", Scope::PerRequest),
        lifetimeOf<NearbyUserManager>("nearby-user manager", Scope::PerMember),
        lifetimeOf<NearbyUserService>("nearby-users service", Scope::PerRequest),
        lifetimeOf<CascadeDataFetcher>("grid data fetcher", Scope::PerRequest),
        lifetimeOf<ExpirationNotifier>("expiration notifier", Scope::PerRequest),
        lifetimeOf<RemoteNotificationRegistrationReceptionist>("push receptionist", Scope::PerRequest),
        lifetimeOf<RemoteNotificationRegistrationOnceToken>("push registration guard", Scope::Singleton),
    };
    for (const Lifetime& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const bool perMember = testCase.scope == Scope::PerMember;
        EXPECT_EQ(testCase.request(injector) == nullptr, perMember);
        const auto made = testCase.make(injector);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(testCase.request(injector) == testCase.request(injector),
                  testCase.scope != Scope::PerRequest);
        EXPECT_EQ(testCase.request(injector) == made, perMember);
        injector.endMemberScope();
        EXPECT_EQ(testCase.request(injector) == nullptr, perMember);
    }
}

TEST_F(AppModuleTest, TheLocatorAsksThisMachinesLocationManagerWhichPromptsInTheWindow) {
    auto locator = injector.get<UserLocator>();
    EXPECT_NE(std::dynamic_pointer_cast<SystemLocationManager>(locator->locationManager()), nullptr);
    EXPECT_EQ(locator->notificationCenter(), NotificationCenter::defaultCenter());
    EXPECT_NE(std::dynamic_pointer_cast<ui::LocationAuthorizationAlert>(
                  injector.get<LocationAuthorizationPrompter>()),
              nullptr);
}

TEST_F(AppModuleTest, AReachabilityMonitorForTheRequestedHost) {
    auto first = injector.get<net::Reachability>(Arguments{QStringLiteral("chat.tovrin.example")});
    EXPECT_EQ(first->hostName(), "chat.tovrin.example");
    EXPECT_NE(first, injector.get<net::Reachability>(Arguments{QStringLiteral("chat.tovrin.example")}));
}

TEST_F(AppModuleTest, TheURLServiceAndTheThrottlerAreOneForTheProcessTheWebClientIsNewEachTime) {
    bindListeners();
    EXPECT_EQ(injector.get<URLService>(), injector.get<URLService>());
    EXPECT_EQ(injector.get<TovrinWebAPIThrottler>(), injector.get<TovrinWebAPIThrottler>());
    EXPECT_NE(injector.get<TovrinService>(), injector.get<TovrinService>());
}

TEST_F(AppModuleTest, TheSessionServiceIsOneForTheProcessTheSignedInClientIsNewEachTime) {
    bindListeners();
    EXPECT_EQ(injector.get<SessionService>(), injector.get<SessionService>());
    EXPECT_NE(injector.get<AuthenticatedTovrinService>(), injector.get<AuthenticatedTovrinService>());
}

TEST_F(AppModuleTest, EachSessionGetsANewBootstrapManagerWithNoCall) {
    bindListeners();
    auto first = injector.make<AuthenticatedBootstrapManager>();
    auto second = injector.make<AuthenticatedBootstrapManager>();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_NE(first->bootstrapService(), second->bootstrapService());
}

TEST_F(AppModuleTest, TheSupportFolderIsCreatedAgainWhenDeleted) {
    const QString folder = AppModule::tovrinSupportDirectory();
    EXPECT_EQ(folder, FileManager::defaultManager().applicationSupportDirectory() + "/Tovrin");
    ASSERT_TRUE(QDir(folder).exists());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(AppModule::tovrinSupportDirectory(), folder);
    EXPECT_TRUE(QDir(folder).exists());
}

TEST_F(AppModuleTest, EachStoreHasItsOwnConnectionAndQueueOnTheOneFile) {
    const QString folder = FileManager::defaultManager().applicationSupportDirectory() + "/Tovrin";
    QDir(folder).removeRecursively();
    auto first = injector.make<TovrinPersistence>();
    auto second = injector.make<TovrinPersistence>();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->path(), folder + "/tovrin.sqlite");
    EXPECT_EQ(second->path(), first->path());
    EXPECT_NE(first->database(), second->database());
    EXPECT_NE(first->threadTrampoline()->queue(), second->threadTrampoline()->queue());
    EXPECT_EQ(first->threadTrampoline()->queue()->label(), "TovrinPersistence");
    EXPECT_TRUE(first->database() && !first->database()->isClosed());
    EXPECT_NE(injector.get<Database>(InjectorKeyTovrinDatabase),
              injector.get<Database>(InjectorKeyTovrinDatabase));
}

TEST_F(AppModuleTest, TheCurrentConversationManagerIsOneForTheProcess) {
    EXPECT_EQ(injector.get<CurrentConversationManager>(), injector.get<CurrentConversationManager>());
}

TEST_F(AppModuleTest, EachRequestGetsItsOwnStreamManagementOverAnInMemoryStorage) {
    auto first = injector.get<xmpp::XMPPStreamManagement>();
    auto second = injector.get<xmpp::XMPPStreamManagement>();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_NE(first->storage(), second->storage());
    EXPECT_TRUE(first->moduleQueue()->isMain());
}

}  // namespace
}  // namespace tovrin
