#pragma once

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

// The authentication web host's pages: the password-reset request
// ("/v3/user/password/reset/request/?locale=…") and the help centre ("/hc/en-us" and its request
// form "/hc/en-us/requests/new"). Forms answer with a confirmation; no e-mail leaves the sandbox.
class AuthenticationWebPages {
public:
    static void install(HTTPHost& host);
};

}  // namespace tovrin::sandbox
