#include "sandbox/service/MediaEndpoints.h"

#include "sandbox/media/MediaStore.h"

namespace tovrin::sandbox {

void MediaEndpoints::install(HTTPHost& host, const std::shared_ptr<MediaStore>& media) {
    for (const QString& path :
         {QStringLiteral("images/thumb/320x320"), QStringLiteral("images/thumb/187x187"),
          QStringLiteral("images/profile/1024x1024"), QStringLiteral("tovrin/chat")}) {
        const Rendition rendition = *MediaStore::renditionForPath(path);
        host.route("GET", "/" + path + "/{}", [media, rendition](const HTTPRequest& request) {
            const std::optional<QByteArray> jpeg = media->jpeg(request.arguments[0], rendition);
            return jpeg ? HTTPReply::jpeg(*jpeg) : HTTPReply::html("Not found", "<h1>Not found</h1>", 404);
        });
    }
}

}  // namespace tovrin::sandbox
