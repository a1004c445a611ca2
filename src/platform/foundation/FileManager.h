#pragma once

#include <QString>

#include "platform/foundation/Error.h"

namespace tovrin {

// Files of the application. Everything lives under one home folder (a phone application's
// container): "Library/Application Support", "Library/Preferences" and "Library/Caches".
class FileManager {
public:
    static FileManager& defaultManager();

    // The home folder; by default the application's data location. Tests point it at a temporary
    // folder, and a second profile can run beside the first with its own.
    QString homeDirectory() const;
    void setHomeDirectory(const QString& path);

    QString applicationSupportDirectory() const;
    QString preferencesDirectory() const;
    QString cachesDirectory() const;

    bool fileExists(const QString& path) const;
    bool createDirectory(const QString& path, bool withIntermediateDirectories, Error* error = nullptr) const;
    // Removes a file, or a folder with everything in it.
    bool removeItem(const QString& path, Error* error = nullptr) const;

    static const QString ErrorDomain;

private:
    FileManager() = default;
    QString libraryDirectory(const char* name) const;
};

}  // namespace tovrin
