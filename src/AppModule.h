#pragma once

#include <QString>

namespace tovrin {

class Injector;

// The composition root: every shared object of the application is bound here, one function per
// subsystem, each binding with its lifetime.
class AppModule {
public:
    void configure(Injector& injector) const;

    // The folder of the local store inside the application support folder, created when missing.
    static QString tovrinSupportDirectory();

private:
    void configurePlatform(Injector& injector) const;
    void configureWebService(Injector& injector) const;
    void configureSignedInWebService(Injector& injector) const;
    void configureMemberSession(Injector& injector) const;
    void configurePersistence(Injector& injector) const;
    void configurePreferences(Injector& injector) const;
    void configureMedia(Injector& injector) const;
    void configureUserInterfaceKit(Injector& injector) const;
    void configureChat(Injector& injector) const;
    void configureProfile(Injector& injector) const;
    void configureNearbyGrid(Injector& injector) const;
};

}  // namespace tovrin
