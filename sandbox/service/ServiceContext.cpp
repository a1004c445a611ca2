#include "sandbox/service/ServiceContext.h"

#include <QJsonObject>

#include "sandbox/service/ServiceError.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

const QByteArray authorizationPrefix = "Tovrin3 ";

}  // namespace

bool InjectedFailure::matches(const HTTPRequest& request) const {
    if (!method.isEmpty() && method != request.method) return false;
    if (path.endsWith(QLatin1Char('*'))) return request.path.startsWith(path.chopped(1));
    return request.path == path;
}

std::optional<HTTPReply> ServiceContext::gate(const HTTPRequest& request) {
    for (auto failure = injectedFailures.begin(); failure != injectedFailures.end(); ++failure) {
        if (!failure->matches(request)) continue;
        const int status = failure->status;
        if (failure->remaining > 0 && --failure->remaining == 0) injectedFailures.erase(failure);
        return HTTPReply::json(
            QJsonObject{{"code", 0}, {"message", "A server error the sandbox was asked for."}}, status);
    }
    if (world->isClientDeprecated()) return errorReply(ServiceError::ClientDeprecated);
    return std::nullopt;
}

Member* ServiceContext::signedInMember(const HTTPRequest& request, std::optional<HTTPReply>& refusal) {
    const QByteArray authorization = request.header("Authorization").value_or(QByteArray());
    Member* member =
        authorization.startsWith(authorizationPrefix)
            ? world->memberForSessionToken(QString::fromLatin1(authorization.mid(authorizationPrefix.size())))
            : nullptr;
    if (member == nullptr) {
        refusal = errorReply(ServiceError::NotSignedIn);
    } else if (member->isBanned) {
        refusal = errorReply(ServiceError::Banned);
    } else {
        member->lastSeen = Date::now();
    }
    return refusal ? nullptr : member;
}

HTTPHost::Handler ServiceContext::signedIn(SignedInHandler handler) {
    return [this, handler = std::move(handler)](const HTTPRequest& request) {
        std::optional<HTTPReply> refusal;
        Member* member = signedInMember(request, refusal);
        return member ? handler(*member, request) : *refusal;
    };
}

HTTPHost::DeferredHandler ServiceContext::signedInDeferred(DeferredSignedInHandler handler) {
    return [this, handler = std::move(handler)](const HTTPRequest& request) {
        std::optional<HTTPReply> refusal;
        Member* member = signedInMember(request, refusal);
        return member ? handler(*member, request) : Promise<HTTPReply>::resolved(*refusal);
    };
}

}  // namespace tovrin::sandbox
