#include "Categories/Error+TovrinErrorString.h"

#include "API/TovrinServiceError.h"
#include "platform/foundation/Localization.h"

namespace tovrin {

QString tvr_errorStringForActionString(const Error& error, const QString& action) {
    return tvr_errorStringForActionString(
        action, isTovrinServiceError(error, TovrinServiceErrorNoInternetConnection));
}

QString tvr_errorStringForActionString(const QString& action, bool notConnectedToInternet) {
    const QString format = notConnectedToInternet ? localizedString("No internet connection — unable to %1")
                                                  : localizedString("Unable to %1");
    return format.arg(action);
}

}  // namespace tovrin
