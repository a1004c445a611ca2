#include "sandbox/service/ServiceError.h"

#include <QJsonObject>

namespace tovrin::sandbox {

namespace {

struct Refusal {
    int status;
    int code;
    const char* message;
};

Refusal refusalFor(ServiceError error) {
    switch (error) {
        case ServiceError::InvalidRequest:
            return {400, 1, "The request is incomplete or malformed."};
        case ServiceError::NotSignedIn:
            return {401, 2, "The session is missing or has expired."};
        case ServiceError::NotFound:
            return {404, 3, "Not found."};
        case ServiceError::InvalidCredentials:
            return {403, 4, "Email or password is incorrect."};
        case ServiceError::ClientDeprecated:
            return {403, 8, "This version of the app is no longer supported."};
        case ServiceError::EmailInUse:
            return {409, 22, "This email address is already in use."};
        case ServiceError::PasswordIncorrect:
            return {403, 24, "The password is incorrect."};
        case ServiceError::Banned:
            return {403, 27, "This account has been banned."};
        case ServiceError::FavoritesLimitReached:
            return {403, 33, "You have reached the maximum number of favorites."};
        case ServiceError::BlocksLimitReached:
            return {403, 34, "You have reached the maximum number of blocks."};
        case ServiceError::DailyPhotoLimitReached:
            return {429, 51, "You have reached the daily maximum of photo uploads."};
    }
    return {500, 0, "Unknown error."};
}

}  // namespace

HTTPReply errorReply(ServiceError error) {
    const Refusal refusal = refusalFor(error);
    return HTTPReply::json(QJsonObject{{"code", refusal.code}, {"message", refusal.message}}, refusal.status);
}

}  // namespace tovrin::sandbox
