#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace tovrin {

// One name and value of a URL's query.
struct URLQueryItem {
    QString name;
    QString value;

    friend bool operator==(const URLQueryItem&, const URLQueryItem&) = default;
};

using URLQueryItems = QList<URLQueryItem>;

// The URL with its query made of the items, in order, each name and value percent-encoded so that
// it reads back unchanged ("&", "=", "+", "#", spaces and non-ASCII letters included). No list
// removes the query; an empty list leaves an empty one (a bare "?").
QUrl URLBySettingQueryItems(const QUrl& url, const std::optional<URLQueryItems>& queryItems);

}  // namespace tovrin
