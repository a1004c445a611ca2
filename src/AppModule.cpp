#include "AppModule.h"

#include <QFile>

#include "API/AuthenticatedBootstrapService.h"
#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/AuthenticatedTovrinService.h"
#include "API/AuthenticatedURLService.h"
#include "API/BannedUserListener.h"
#include "API/BootstrapManager.h"
#include "API/BootstrapService.h"
#include "API/CertificateMismatchListener.h"
#include "API/DeprecatedClientListener.h"
#include "API/ErrorMessageParser.h"
#include "API/HTTPHeaderFurnisher.h"
#include "API/RequestAuthenticator.h"
#include "API/ServiceJSONMapper.h"
#include "API/TovrinEndpoint.h"
#include "API/TovrinService.h"
#include "API/URLProvider.h"

#include "API/AuthenticatedBootstrapManager.h"
#include "API/URLService.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/CreateAccountService.h"
#include "Authentication/Screens/CreateAccountViewController.h"
#include "Authentication/Screens/LoginViewController.h"
#include "Authentication/Screens/UnsecureConnectionViewController.h"
#include "Authentication/SessionGeneration.h"
#include "Authentication/SessionService.h"
#include "Authentication/UserSession.h"
#include "Blocked/BlockedUserManager.h"
#include "Blocked/UserBlockingService.h"
#include "Cascade/CascadeDataFetcher.h"
#include "Cascade/ExpirationNotifier.h"
#include "Cascade/FavoritesManager.h"
#include "Cascade/FavoritesService.h"
#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/CascadeFilterManager.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/Filter/FilterManager.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Cascade/NearbyUserManager.h"
#include "Cascade/NearbyUserService.h"
#include "Cascade/RemoteNotificationRegistrationReceptionist.h"
#include "Cascade/UserLocator.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Chat/ChatCenter.h"
#include "Chat/ChatConnectionThrottler.h"
#include "Chat/ConversationSummariesManager.h"
#include "Chat/CurrentConversationManager.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Chat/LastSeenMessageInfoManager.h"
#include "Chat/SavedPhrasesJSONMapper.h"
#include "Chat/SavedPhrasesManager.h"
#include "Chat/SavedPhrasesService.h"
#include "Chat/UploadImageService.h"
#include "Chat/UserImageHashManager.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Helpers/ThreadTrampoline.h"
#include "Helpers/TimerFactory.h"
#include "Inbox/ConversationSummariesService.h"
#include "Inbox/ConversationSummaryServiceItemJSONMapper.h"
#include "InjectorKeys.h"
#include "Keychain/MFKeychain.h"
#include "Media/DeferredImageLoader.h"
#include "Media/MediaService.h"
#include "Media/MyProfileImageManager.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "Preferences/LocalPreferences.h"
#include "Preferences/PreferencesJSONMapper.h"
#include "Preferences/PreferencesManager.h"
#include "Preferences/PreferencesService.h"
#include "Profile/DeleteProfileService.h"
#include "Profile/ManagedFieldsManager.h"
#include "Profile/ManagedFieldsService.h"
#include "Profile/ProfileService.h"
#include "Profile/UserReportingService.h"
#include "RemoteNotifications/DeviceRegistrationService.h"
#include "RemoteNotifications/RemoteNotificationRegistrar.h"
#include "Rules/RulesJSONMapper.h"
#include "Settings/Screens/PasswordViewController.h"
#include "Settings/Screens/UpdateEmailViewController.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "Throttling/RandomValueGenerator.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "Units/ImperialUnitConverter.h"
#include "Units/MetricUnitConverter.h"
#include "UpdateEmailService.h"
#include "UpdatePasswordService.h"
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
#include "platform/foundation/Timer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/Reachability.h"
#include "platform/net/URLSession.h"
#include "platform/system/Application.h"
#include "platform/system/Device.h"
#include "platform/system/Keychain.h"
#include "platform/system/Screen.h"
#include "platform/system/SystemLocationManager.h"
#include "platform/ui/controllers/LocationAuthorizationAlert.h"
#include "platform/ui/controls/RefreshControl.h"
#include "platform/ui/webengine/EngineWebView.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagement.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagementMemoryStorage.h"
#include "platform/xmpp/XMPPStream.h"

namespace tovrin {

namespace {

// A PEM file of certificate authorities that the web client trusts besides the system's: for the
// sandbox and tests only, set through `--info FILE`.
const QString ExtraTrustedCAFileInfoDictKey = QStringLiteral("TovrinExtraTrustedCAFile");
constexpr double RequestTimeout = 30;
constexpr qint64 ImageCacheDiskCapacity = qint64(50) * 1024 * 1024;

net::URLSessionConfiguration defaultSessionConfiguration(const Bundle& bundle) {
    net::URLSessionConfiguration configuration;
    configuration.additionalTrustedCAFile =
        bundle.objectForInfoDictionaryKey(ExtraTrustedCAFileInfoDictKey).toString();
    return configuration;
}

std::shared_ptr<net::URLSession> makeURLSession(const net::URLSessionConfiguration& configuration) {
    return std::make_shared<net::URLSession>(configuration,
                                             net::Reachability::reachabilityForInternetConnection());
}

std::shared_ptr<net::URLSession> makeWebSession(const Bundle& bundle) {
    net::URLSessionConfiguration configuration = defaultSessionConfiguration(bundle);
    configuration.timeoutIntervalForRequest = RequestTimeout;
    return makeURLSession(configuration);
}

// Photos come from the disk cache whenever it has them, however old.
std::shared_ptr<net::URLSession> makeImageLoadingSession(const Bundle& bundle) {
    net::URLSessionConfiguration configuration = defaultSessionConfiguration(bundle);
    configuration.requestCachePolicy = net::URLRequestCachePolicy::ReturnCacheDataElseLoad;
    configuration.URLCache = std::make_shared<net::URLCache>(
        FileManager::defaultManager().cachesDirectory() + QStringLiteral("/ImageLoadingSession"),
        ImageCacheDiskCapacity);
    return makeURLSession(configuration);
}

}  // namespace

void AppModule::configure(Injector& injector) const {
    configurePlatform(injector);
    configureWebService(injector);
    configureSignedInWebService(injector);
    configureMemberSession(injector);
    configurePersistence(injector);
    configurePreferences(injector);
    configureMedia(injector);
    configureUserInterfaceKit(injector);
    configureChat(injector);
    configureProfile(injector);
    configureNearbyGrid(injector);
}

void AppModule::configurePlatform(Injector& injector) const {
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
    injector.bindFactory<QVariantMap>(InjectorKeyInfoDictionary, [](Injector& injector, const Arguments&) {
        return std::make_shared<QVariantMap>(injector.get<Bundle>()->infoDictionary());
    });
    injector.bindFactory<Keychain>([](Injector&, const Arguments&) { return Keychain::system(); });
    // The request's first argument is the host name.
    injector.bindFactory<net::Reachability>([](Injector&, const Arguments& arguments) {
        return net::Reachability::reachabilityWithHostName(arguments.value(0).toString());
    });
    injector.bind<TimerFactory>();
    // Each request gets its own location manager; the permission prompt is an alert in the window.
    injector.bindClass<LocationAuthorizationPrompter, ui::LocationAuthorizationAlert>();
    injector.bindClass<LocationManager, SystemLocationManager>();
    injector.bind<UserLocator>(Scope::Singleton);
    // One channel to the status banner for the whole process; the root container becomes its delegate.
    injector.bind<StatusMessageQueue>(Scope::Singleton);
}

void AppModule::configureWebService(Injector& injector) const {
    injector.bindInstance(makeWebSession(*Bundle::main()));
    injector.bind<HTTPHeaderFurnisher>();
    injector.bind<TovrinService>();
    injector.bind<TovrinEndpoint>();
    injector.bind<URLProvider>();
    injector.bind<BootstrapService>();
    injector.bind<BootstrapManager>();
    injector.bind<URLService>(Scope::Singleton);
    injector.bind<TovrinWebAPIThrottler>(Scope::Singleton);
    injector.bind<ServerCurrentDateProvider>(Scope::Singleton);
}

void AppModule::configureSignedInWebService(Injector& injector) const {
    injector.bind<RequestAuthenticator>();
    injector.bind<AuthenticatedTovrinService>();
    injector.bind<AuthenticatedTovrinEndpoint>();
    injector.bind<AuthenticatedBootstrapService>();
    injector.bind<AuthenticatedURLService>();
    injector.bind<AuthenticatedBootstrapManager>(Scope::PerMember);
}

void AppModule::configureMemberSession(Injector& injector) const {
    injector.bind<SessionGeneration>(Scope::Singleton);
    // Signed-in requests take the token of the shared session of the moment; none before it exists.
    injector.bindFactory<SessionTokenSource>(
        [](Injector&, const Arguments&) -> std::shared_ptr<SessionTokenSource> {
            return UserSession::sharedSession();
        });
    injector.bind<MFKeychain>();
    injector.bind<AuthStorage>(Scope::Singleton);
    injector.bind<SessionService>(Scope::Singleton);
    injector.bind<CreateAccountService>();
    injector.bind<RemoteNotificationRegistrar>(Scope::Singleton);
    injector.bind<DeviceRegistrationService>();
    injector.bind<FavoritesService>();
    injector.bind<FavoritesManager>(Scope::PerMember);
    injector.bind<UserBlockingService>();
    // The marketing analytics service is passed here once it exists; the manager does not use it.
    injector.bindFactory<BlockedUserManager>(
        [](Injector& injector, const Arguments&) {
            return std::make_shared<BlockedUserManager>(injector.get<UserBlockingService>(), nullptr,
                                                        injector.get<TovrinPersistence>(),
                                                        injector.get<SessionGeneration>());
        },
        Scope::PerMember);
}

// Each store gets its own connection and its own serial queue.
void AppModule::configurePersistence(Injector& injector) const {
    injector.bindFactory<Database>(InjectorKeyTovrinDatabase, [](Injector&, const Arguments&) {
        return std::make_shared<Database>(tovrinSupportDirectory() + QStringLiteral("/tovrin.sqlite"));
    });
    injector.bindFactory<ThreadTrampoline>(
        InjectorKeyPersistenceThreadTrampoline, [](Injector&, const Arguments&) {
            return std::make_shared<ThreadTrampoline>(
                std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence")));
        });
    injector.bind<NearbyUserJSONMapper>();
    injector.bind<TovrinPersistence>(Scope::PerMember);
}

void AppModule::configurePreferences(Injector& injector) const {
    injector.bind<LocalPreferences>();
    // A converter for the unit system chosen now; anything but metric reads as imperial.
    injector.bindFactory<UnitConverter>(
        [](Injector& injector, const Arguments&) -> std::shared_ptr<UnitConverter> {
            if (injector.get<LocalPreferences>()->unitSystem() == 1)
                return std::make_shared<MetricUnitConverter>();
            return std::make_shared<ImperialUnitConverter>();
        });
    injector.bind<FilterManager>(Scope::PerMember);
    injector.bind<CascadeFilterManager>(Scope::PerMember);
    injector.bind<PreferencesService>();
    // One per process; each fetch feeds the managers of the member session it began in.
    injector.bind<PreferencesManager>(Scope::Singleton);
}

void AppModule::configureMedia(Injector& injector) const {
    injector.bindFactory<net::URLSession>(
        InjectorKeyImageLoadingURLSession,
        [](Injector& injector, const Arguments&) { return makeImageLoadingSession(*injector.get<Bundle>()); },
        Scope::Singleton);
    injector.bind<DeferredImageLoader>();
    injector.bind<MediaService>(Scope::Singleton);
    injector.bind<MyProfileImageManager>(Scope::Singleton);
}

void AppModule::configureUserInterfaceKit(Injector& injector) const {
    injector.bindFactory<ui::RefreshControl>([](Injector&, const Arguments&) {
        auto control = ui::sharedWidget(new ui::RefreshControl());
        control->setTintColor(tovrinOffWhiteColor());
        return control;
    });
    injector.bindClass<AnimationDelegate, AnimationDelegateImpl>();
    injector.bindFactory<MultiSelectViewController>(
        [](Injector&, const Arguments&) { return std::make_shared<MultiSelectViewController>(); });
    // The pager is given the container, which makes its pages.
    injector.bind<ImageViewController>();
    injector.bind<SwipeableImageViewController>();
    // A web view of its own for every web page screen; the engine starts with the first page loaded.
    injector.bindFactory<ui::WebView>([](Injector& injector,
                                         const Arguments&) -> std::shared_ptr<ui::WebView> {
        return ui::sharedWidget(new ui::EngineWebView(
            injector.get<Bundle>()->objectForInfoDictionaryKey(ExtraTrustedCAFileInfoDictKey).toString()));
    });
    injector.bind<WebViewController>();
    // The account screens: a new one at each request, given the container.
    injector.bind<LoginViewController>();
    injector.bind<UnsecureConnectionViewController>();
    injector.bind<CreateAccountViewController>();
    injector.bind<PasswordViewController>();
    injector.bind<UpdateEmailViewController>();
}

void AppModule::configureChat(Injector& injector) const {
    // Each request gets its own stream management over its own storage.
    injector.bindFactory<xmpp::XMPPStreamManagement>([](Injector&, const Arguments&) {
        return std::make_shared<xmpp::XMPPStreamManagement>(
            std::make_shared<xmpp::XMPPStreamManagementMemoryStorage>());
    });
    injector.bind<CurrentConversationManager>(Scope::Singleton);
    injector.bind<LastSeenMessageInfoManager>();
    // The inbox's pages; the manager is asked for while a member's session runs.
    injector.bind<ConversationSummaryServiceItemJSONMapper>();
    injector.bind<ConversationSummariesService>();
    injector.bind<ConversationSummariesManager>();
    injector.bind<UploadImageService>();
    injector.bind<UserImageHashManager>(Scope::PerMember);
    injector.bind<SavedPhrasesService>();
    injector.bind<SavedPhrasesManager>(Scope::PerMember);
    // The chat server's certificate may come from the same extra authorities as the web service's.
    injector.bindFactory<xmpp::XMPPStream>([](Injector& injector, const Arguments&) {
        auto stream = std::make_shared<xmpp::XMPPStream>();
        QFile authorities(
            injector.get<Bundle>()->objectForInfoDictionaryKey(ExtraTrustedCAFileInfoDictKey).toString());
        if (!authorities.fileName().isEmpty() && authorities.open(QIODevice::ReadOnly))
            stream->setTrustedCertificateAuthorities(authorities.readAll());
        return stream;
    });
    // Each chat client gets a throttler of its own.
    injector.bind<ChatConnectionThrottler>();
    injector.bindFactory<ChatCenter>(
        [](Injector& injector, const Arguments&) { return ChatCenter::create(injector); }, Scope::Singleton);
    injector.bindFactory<ChatMessageSender>(
        [](Injector& injector, const Arguments&) -> std::shared_ptr<ChatMessageSender> {
            return injector.get<ChatCenter>();
        });
    injector.bindFactory<ChatConnector>(
        [](Injector& injector, const Arguments&) -> std::shared_ptr<ChatConnector> {
            return injector.get<ChatCenter>();
        });
}

// One set of option lists for the whole process; the services are new at each request.
void AppModule::configureProfile(Injector& injector) const {
    injector.bind<ManagedFieldsService>();
    injector.bind<ManagedFieldsManager>(Scope::Singleton);
    injector.bind<ProfileService>();
    injector.bind<DeleteProfileService>();
    injector.bind<UpdateEmailService>();
    injector.bind<UpdatePasswordService>();
    injector.bind<UserReportingService>();
}

// The member's user cache lives with the session; the rest is new at each request, but for the
// one-time push registration, whose guard lasts the process.
void AppModule::configureNearbyGrid(Injector& injector) const {
    injector.bind<NearbyUserService>();
    injector.bind<CascadeDataFetcher>();
    injector.bind<ExpirationNotifier>();
    injector.bind<RemoteNotificationRegistrationOnceToken>(Scope::Singleton);
    injector.bind<RemoteNotificationRegistrationReceptionist>();
    injector.bind<NearbyUserManager>(Scope::PerMember);
}

QString AppModule::tovrinSupportDirectory() {
    const FileManager& files = FileManager::defaultManager();
    const QString folder = files.applicationSupportDirectory() + QStringLiteral("/Tovrin");
    // A failure shows when the store opens its file there.
    files.createDirectory(folder, true);
    return folder;
}

}  // namespace tovrin
