#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <optional>

#include "platform/foundation/Error.h"

namespace tovrin {

class Bundle;
class FileManager;

// What the command line and the environment change before the application starts:
//   --info FILE    a JSON object merged over the bundled information dictionary
//   --host URL     the web service's host address ("TovrinHostURL"); TOVRIN_HOST_URL likewise
//   --profile DIR  the home folder of the application's files; TOVRIN_PROFILE_DIR likewise
// The command line wins over the environment, and both over the information file.
class LaunchConfiguration {
public:
    static const QString HostURLKey;

    // Applies the options; an error (and nothing applied) when one is incomplete or unreadable.
    static std::optional<Error> apply(const QStringList& arguments, const QProcessEnvironment& environment,
                                      Bundle& bundle, FileManager& files);
};

}  // namespace tovrin
