#include "API/URLProvider.h"

#include "LaunchConfiguration.h"
#include "platform/foundation/Bundle.h"

namespace tovrin {

URLProvider::URLProvider() : URLProvider(Bundle::main()) {}

URLProvider::URLProvider(std::shared_ptr<Bundle> bundle) : bundle_(std::move(bundle)) {}

std::optional<QUrl> URLProvider::tovrinHostURL() const {
    const QVariant value = bundle_->objectForInfoDictionaryKey(LaunchConfiguration::HostURLKey);
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    const QUrl url(value.toString(), QUrl::StrictMode);
    const bool isWebAddress = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (!url.isValid() || !isWebAddress || url.host().isEmpty()) return std::nullopt;
    return url;
}

}  // namespace tovrin
