#pragma once

#include <memory>

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

class MediaStore;

// The media host: every photo by media hash in each rendition ("images/thumb/320x320/HASH",
// "images/thumb/187x187/HASH", "images/profile/1024x1024/HASH", "tovrin/chat/HASH"), as JPEG. An
// unknown hash answers 404 with a page, as a media host does.
class MediaEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<MediaStore>& media);
};

}  // namespace tovrin::sandbox
