#pragma once

#include <QString>

#include "platform/foundation/Error.h"

namespace tovrin {

// Files of the application. Everything lives under one home folder (a phone application's
// container): "Library/Application Support", "Library/Preferences" and "Library/Caches".
// Nothing there is for other local users: the default manager, made before any file is used, sets
// the process's file-creation mask to 077, so whatever Qt, SQLite or we create later is 0600 or
// 0700; what an older version left looser is tightened where it is opened (`restrictToOwner`).
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
    // Creates the folder owner-only (0700), with its missing parents when asked. An existing folder,
    // and the folders from the home folder down to it, lose any access by group and others. True
    // when the folder exists afterwards.
    bool createDirectory(const QString& path, bool withIntermediateDirectories, Error* error = nullptr) const;
    // Takes access by group and others away from a file, or from a folder and everything in it;
    // symbolic links are left as they are. True when nothing there is open to others any more (also
    // when the path does not exist); a failure is logged.
    bool restrictToOwner(const QString& path, Error* error = nullptr) const;
    // Removes a file, or a folder with everything in it.
    bool removeItem(const QString& path, Error* error = nullptr) const;

    static const QString ErrorDomain;

private:
    FileManager();
    QString libraryDirectory(const char* name) const;
};

}  // namespace tovrin
