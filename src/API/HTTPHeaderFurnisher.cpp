#include "API/HTTPHeaderFurnisher.h"

#include "platform/system/Device.h"

namespace tovrin {

HTTPHeaderFurnisher::HTTPHeaderFurnisher(std::shared_ptr<Device> device, const QVariantMap& infoDictionary)
    : device_(std::move(device)),
      bundleShortVersion_(infoDictionary.value(bundleShortVersionStringInfoDictKey).toString()),
      bundleVersion_(infoDictionary.value(bundleVersionInfoDictKey).toString()) {}

net::URLRequest HTTPHeaderFurnisher::furnishURLRequest(const net::URLRequest& request,
                                                       const std::optional<QString>& contentType) const {
    net::URLRequest furnished = request;
    furnished.setValue(userAgentString(), userAgentHeaderKey);
    furnished.setValue(jsonContentTypeHeaderValue, acceptHeaderKey);
    if (contentType) furnished.setValue(*contentType, contentTypeHeaderKey);
    return furnished;
}

QString HTTPHeaderFurnisher::userAgentString() const {
    return QStringLiteral("Tovrin3/%1 (%2; %3; %4 %5)")
        .arg(bundleShortVersion_, bundleVersion_, device_->model(), device_->systemName(),
             device_->systemVersion());
}

}  // namespace tovrin
