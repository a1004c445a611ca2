#pragma once

#include <QString>
#include <optional>

#include "platform/foundation/URLQueryItem.h"

namespace tovrin {

// Which base address a request goes to.
using TovrinRequestType = quint64;
constexpr TovrinRequestType TovrinRequestTypeAPI = 1;     // the web service host
constexpr TovrinRequestType TovrinRequestTypeUpload = 2;  // the upload host of the bootstrap answer

// A request record that feature services build and an endpoint sends.
class TovrinRequest {
public:
    virtual ~TovrinRequest() = default;

    virtual const QString& HTTPMethod() const = 0;
    // The whole path, beginning with "/", percent-encoded: every id or hash in it is one segment made
    // by `URLPathSegment`. It replaces the base address's path.
    virtual const QString& path() const = 0;
    virtual const std::optional<URLQueryItems>& queryItems() const = 0;
    virtual TovrinRequestType serviceType() const = 0;
};

}  // namespace tovrin
