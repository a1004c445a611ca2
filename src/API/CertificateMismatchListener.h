#pragma once

namespace tovrin {

// Told when the web service's certificate failed the check (before the request fails) and when a
// later attempt shows the connection is sound again.
class CertificateMismatchListener {
public:
    virtual ~CertificateMismatchListener() = default;
    virtual void certificateMismatched() = 0;
    virtual void certificateIsValid() = 0;
};

}  // namespace tovrin
