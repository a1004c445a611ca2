#pragma once

#include <QUrl>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"

namespace tovrin {

class Bundle;

// The web service's host address, scheme included: the base of every API request.
class URLProvider {
public:
    URLProvider();  // over the main bundle
    explicit URLProvider(std::shared_ptr<Bundle> bundle);
    virtual ~URLProvider() = default;

    using Dependencies = Inject<Bundle>;

    // Read from the information dictionary ("TovrinHostURL") at each call. Nothing when the key is
    // missing or its text is no http(s) address with a host.
    virtual std::optional<QUrl> tovrinHostURL() const;

private:
    std::shared_ptr<Bundle> bundle_;
};

}  // namespace tovrin
