#pragma once

#include <QString>
#include <optional>

namespace tovrin {

// A value of the service or of the member (an id, a media hash) as one segment of a URL path,
// percent-encoded as UTF-8 so that "/", "?", "#", "%" and every non-ASCII letter stay inside the
// segment. Nothing for "", "." and "..": the empty one would address the collection above, and a
// dot segment is removed before sending (its percent-encoded form is the same segment to every URL
// parser, ours included), so no URL can carry these as a segment of their own.
std::optional<QString> URLPathSegment(const QString& value);

// The encoded path followed by "/" and the value as one segment; nothing when the value cannot be
// one (see above).
std::optional<QString> URLPathByAppendingSegment(const QString& encodedPath, const QString& value);

}  // namespace tovrin
