#pragma once

#include <QString>

namespace tovrin {

// The string keys of the container; each constant's value is its name without the prefix, except
// the image session's and the information dictionary's.
inline const QString InjectorKeyMainQueue = QStringLiteral("MainQueue");
inline const QString InjectorKeyBackgroundQueue = QStringLiteral("BackgroundQueue");
inline const QString InjectorKeyMainRunLoop = QStringLiteral("MainRunLoop");
inline const QString InjectorKeyMainScreen = QStringLiteral("MainScreen");
inline const QString InjectorKeyTovrinDatabase = QStringLiteral("TovrinDatabase");
inline const QString InjectorKeyPersistenceThreadTrampoline = QStringLiteral("PersistenceThreadTrampoline");
inline const QString InjectorKeyImageLoadingURLSession = QStringLiteral("ImageLoadingSession");
inline const QString InjectorKeyAdView = QStringLiteral("AdView");
inline const QString InjectorKeyBlockInterstitial = QStringLiteral("BlockInterstitial");
inline const QString InjectorKeyInfoDictionary = QStringLiteral("infoDictionary");

}  // namespace tovrin
