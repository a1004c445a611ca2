#include "LaunchConfiguration.h"

#include <QUrl>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"

namespace tovrin {

namespace {

const QString ErrorDomain = QStringLiteral("LaunchConfigurationErrorDomain");

Error usageError(const QString& text) {
    return Error(ErrorDomain, 1, {{ErrorDescriptionKey, text}});
}

}  // namespace

const QString LaunchConfiguration::HostURLKey = QStringLiteral("TovrinHostURL");

std::optional<Error> LaunchConfiguration::apply(const QStringList& arguments,
                                                const QProcessEnvironment& environment, Bundle& bundle,
                                                FileManager& files) {
    QString infoFile;
    QString host = environment.value(QStringLiteral("TOVRIN_HOST_URL"));
    QString profile = environment.value(QStringLiteral("TOVRIN_PROFILE_DIR"));
    for (qsizetype index = 1; index < arguments.size(); ++index) {
        const QString& option = arguments[index];
        QString* target = option == QLatin1String("--info")      ? &infoFile
                          : option == QLatin1String("--host")    ? &host
                          : option == QLatin1String("--profile") ? &profile
                                                                 : nullptr;
        if (target == nullptr) continue;  // the toolkit's own options pass through
        if (index + 1 >= arguments.size()) return usageError(option + " needs a value");
        *target = arguments[++index];
    }

    QVariantMap overrides;
    if (!infoFile.isEmpty()) {
        Error error;
        const auto dictionary = Bundle::readInfoDictionary(infoFile, &error);
        if (!dictionary) return error;
        overrides = *dictionary;
    }
    if (!host.isEmpty()) {
        const QUrl url(host, QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
            return usageError(host + " is not a host address such as http://127.0.0.1:8480");
        }
        overrides.insert(HostURLKey, host);
    }
    bundle.mergeInfoDictionary(overrides);
    if (!profile.isEmpty()) files.setHomeDirectory(profile);
    return std::nullopt;
}

}  // namespace tovrin
