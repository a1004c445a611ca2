#pragma once

#include <QString>

namespace tovrin {

class Injector;

// The composition root: every shared object of the application is bound here.
class AppModule {
public:
    void configure(Injector& injector) const;

    // The folder of the local store inside the application support folder, created when missing.
    static QString tovrinSupportDirectory();

private:
    void configureUserSessionClasses(Injector& injector) const;
    void configureSingletons(Injector& injector) const;
};

}  // namespace tovrin
