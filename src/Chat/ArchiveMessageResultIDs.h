#pragma once

#include <QString>
#include <optional>

namespace tovrin {

// How far one conversation's server archive has been paged: the archive result ids of the oldest
// and newest message fetched so far. Both absent before the first page.
class ArchiveMessageResultIDs {
public:
    ArchiveMessageResultIDs() = default;
    ArchiveMessageResultIDs(std::optional<QString> oldestArchiveResultID,
                            std::optional<QString> newestArchiveResultID)
        : oldestArchiveResultID_(std::move(oldestArchiveResultID)),
          newestArchiveResultID_(std::move(newestArchiveResultID)) {}

    const std::optional<QString>& oldestArchiveResultID() const { return oldestArchiveResultID_; }
    const std::optional<QString>& newestArchiveResultID() const { return newestArchiveResultID_; }

private:
    std::optional<QString> oldestArchiveResultID_;
    std::optional<QString> newestArchiveResultID_;
};

}  // namespace tovrin
