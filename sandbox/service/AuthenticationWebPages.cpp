#include "sandbox/service/AuthenticationWebPages.h"

#include <QUrlQuery>

namespace tovrin::sandbox {

namespace {

QString formValue(const HTTPRequest& request, const QString& name) {
    return QUrlQuery(QString::fromUtf8(request.body).replace(QLatin1Char('+'), QLatin1Char(' ')))
        .queryItemValue(name, QUrl::FullyDecoded);
}

HTTPReply resetForm(const HTTPRequest& request) {
    const QString locale = request.queryValue("locale").value_or(QStringLiteral("en-US"));
    return HTTPReply::html(
        "Reset your password",
        QStringLiteral(
            "<h1>Reset your password</h1><p>Enter the email address of your account and we will send "
            "you a link to choose a new password.</p><form method=\"post\">"
            "<input type=\"hidden\" name=\"locale\" value=\"%1\">"
            "<p><input type=\"email\" name=\"email\" placeholder=\"Email\" required></p>"
            "<p><button type=\"submit\">Send reset link</button></p></form>")
            .arg(locale.toHtmlEscaped()));
}

HTTPReply resetRequested(const HTTPRequest& request) {
    return HTTPReply::html(
        "Check your email",
        QStringLiteral("<h1>Check your email</h1><p>If an account exists for %1, we have sent "
                       "it a link to reset its password.</p>")
            .arg(formValue(request, "email").toHtmlEscaped()));
}

HTTPReply helpCentre() {
    return HTTPReply::html(
        "Help Center",
        "<h1>Help Center</h1><h2>Account</h2><ul><li>Changing your email or password: open Settings.</li>"
        "<li>Forgot your password? Use the link on the sign-in screen.</li></ul>"
        "<h2>Safety</h2><ul><li>Block or report a member from their profile.</li></ul>"
        "<p><a href=\"/hc/en-us/requests/new?ticket_form_id=24024\">Submit a request</a></p>");
}

HTTPReply requestForm() {
    return HTTPReply::html(
        "Submit a request",
        "<h1>Submit a request</h1><form method=\"post\">"
        "<p><input type=\"email\" name=\"email\" placeholder=\"Your email\" required></p>"
        "<p><input name=\"subject\" placeholder=\"Subject\" required></p>"
        "<p><textarea name=\"description\" rows=\"6\" placeholder=\"Description\"></textarea></p>"
        "<p><button type=\"submit\">Submit</button></p></form>");
}

HTTPReply requestReceived() {
    return HTTPReply::html("Request received",
                           "<h1>Thank you</h1><p>Your request has been received. We will get back to you by "
                           "email.</p><p><a href=\"/hc/en-us\">Back to the Help Center</a></p>");
}

}  // namespace

void AuthenticationWebPages::install(HTTPHost& host) {
    host.route("GET", "/v3/user/password/reset/request", &resetForm);
    host.route("POST", "/v3/user/password/reset/request", &resetRequested);
    host.route("GET", "/hc/en-us", [](const HTTPRequest&) { return helpCentre(); });
    host.route("GET", "/hc/en-us/requests/new", [](const HTTPRequest&) { return requestForm(); });
    host.route("POST", "/hc/en-us/requests/new", [](const HTTPRequest&) { return requestReceived(); });
}

}  // namespace tovrin::sandbox
