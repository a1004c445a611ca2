#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

#include "platform/foundation/Error.h"
#include "platform/xmpp/XEP-0004/XMPPDataForm.h"
#include "platform/xmpp/XEP-0059/XMPPResultSet.h"
#include "platform/xmpp/XMPPJID.h"
#include "platform/xmpp/XMPPMessage.h"
#include "platform/xmpp/XMPPModule.h"

namespace tovrin::xmpp {

inline const QString XMPPMessageArchiveManagementNamespace = QStringLiteral("urn:xmpp:mam:0");
inline const QString XMPPMessageArchiveManagementErrorDomain =
    QStringLiteral("XMPPMessageArchiveManagementErrorDomain");

enum XMPPMessageArchiveManagementErrorCode : qint64 {
    XMPPMessageArchiveManagementQueryRefused = 1,  // the server answered the query with an error
    XMPPMessageArchiveManagementQueryNotSent = 2,  // no stream, or the stream was not connected
    XMPPMessageArchiveManagementDisconnected = 3,  // the stream went before the page ended
};

enum XMPPMessageArchiveFetchingDirection : quint32 {
    XMPPMessageArchiveFetchingOlder = 0,
    XMPPMessageArchiveFetchingNewer = 1,
};

class XMPPMessageArchiveManagement;

class XMPPMessageArchiveManagementDelegate {
public:
    virtual ~XMPPMessageArchiveManagementDelegate() = default;

    // One query's page: the archived stanzas in arrival order, the result set the query sent, the
    // end marker's result set, and the archive ids of the first and last result that arrived (none
    // without results). An end marker for a query this module did not send reports an empty page
    // with a null query result set, direction older and no ids.
    virtual void messageArchiveManagementDidReceiveMessages(
        XMPPMessageArchiveManagement& sender, const QList<XMPPMessage>& messages, const XMPPResultSet& query,
        const QString& queryID, const XMPPResultSet& finResultSet,
        const std::optional<QString>& oldestResultID, const std::optional<QString>& newestResultID,
        quint32 queryFetchingDirection) {}
    // The query is forgotten and never reports a page: the server refused it, it could not be
    // sent, or the stream disconnected first.
    virtual void messageArchiveManagementDidFailQuery(XMPPMessageArchiveManagement& sender,
                                                      const QString& queryID, const Error& error) {}
};

// Pages of the member's server archive (XEP-0313, "urn:xmpp:mam:0") with a submitted form and a
// result set. Each query's results are gathered until its end marker and reported as one page.
// Only the member's own account speaks for the archive: results and end markers count when they
// carry no "from" or the member's bare address.
class XMPPMessageArchiveManagement : public XMPPDelegatingModule<XMPPMessageArchiveManagementDelegate> {
public:
    // A null queue gives the module a serial queue of its own, where it keeps its queries.
    explicit XMPPMessageArchiveManagement(std::shared_ptr<DispatchQueue> moduleQueue = nullptr);

    // Sends the query on the activated stream; its query id. The query is recorded before its `iq`
    // goes out. The member's address is read from the stream now, so call on the main thread.
    QString queryMessagesForJID(const XMPPJID& jid, bool fetchingOlder, const XMPPResultSet& resultSet);
    // The form (typed "submit") asking for the messages exchanged with `jid`.
    static XMPPDataForm createFormForTargetUserJID(const XMPPJID& jid);

    static bool isMessageArchived(const XMPPMessage& message);
    static bool isMessageArchiveFin(const XMPPMessage& message);

    void xmppStreamDidReceiveMessage(XMPPStream& sender, const XMPPMessage& message) override;
    bool xmppStreamDidReceiveIQ(XMPPStream& sender, const XMPPIQ& iq) override;
    void xmppStreamDidFailToSendIQ(XMPPStream& sender, const XMPPIQ& iq, const Error& error) override;
    void xmppStreamDidDisconnect(XMPPStream& sender, const std::optional<Error>& error) override;

private:
    struct QueryFetchingOptions {
        quint32 direction = XMPPMessageArchiveFetchingOlder;
        std::optional<QString> oldestResultID;
        std::optional<QString> newestResultID;
        // Who may answer for the archive: the member's bare address when the query was sent.
        std::optional<XMPPJID> archiveOwner;
        QString iqID;
    };

    void onModuleQueue(const std::function<void()>& block);
    void handleResult(const XMPPMessage& message, const XMLElement& result);
    void handleFin(const XMPPMessage& message, const XMLElement& fin);
    void failQuery(const QString& queryID, const Error& error);
    void forgetQuery(const QString& queryID);

    // Touched only on the module's queue.
    QHash<QString, QList<XMPPMessage>> queryIDToMessages_;
    QHash<QString, XMLElement> queryIDToQuery_;
    QHash<QString, QueryFetchingOptions> queryFetchingOptions_;
    QHash<QString, QString> iqIDToQueryID_;
    std::optional<XMPPJID> lastArchiveOwner_;
};

}  // namespace tovrin::xmpp
