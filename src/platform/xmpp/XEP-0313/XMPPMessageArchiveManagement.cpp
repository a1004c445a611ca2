#include "platform/xmpp/XEP-0313/XMPPMessageArchiveManagement.h"

#include "platform/xmpp/XMPPIQ.h"
#include "platform/xmpp/XMPPStream.h"

namespace tovrin::xmpp {

namespace {

Error archiveError(XMPPMessageArchiveManagementErrorCode code, const QString& description) {
    return Error(XMPPMessageArchiveManagementErrorDomain, code, {{ErrorDescriptionKey, description}});
}

// Anyone may send the member a message that looks like an archive page; only the member's own
// account (no "from", or the bare address) answers for the archive.
bool speaksForArchive(const XMPPElement& stanza, const std::optional<XMPPJID>& owner) {
    if (!stanza.hasAttribute(QStringLiteral("from"))) return true;
    const std::optional<XMPPJID> from = stanza.from();
    return from && owner && from->isBare() && *from == *owner;
}

}  // namespace

XMPPMessageArchiveManagement::XMPPMessageArchiveManagement(std::shared_ptr<DispatchQueue> moduleQueue)
    : XMPPDelegatingModule(std::move(moduleQueue)) {}

void XMPPMessageArchiveManagement::onModuleQueue(const std::function<void()>& block) {
    if (moduleQueue()->isCurrent()) {
        block();
    } else {
        moduleQueue()->sync(block);
    }
}

XMPPDataForm XMPPMessageArchiveManagement::createFormForTargetUserJID(const XMPPJID& jid) {
    // A form the client fills in is a submitted one; servers refuse one without a type.
    XMPPDataForm form = XMPPDataForm::formWithType(QStringLiteral("submit"));
    form.addField(XMPPDataFormField::fieldWithVarStringValue(QStringLiteral("FORM_TYPE"),
                                                             XMPPMessageArchiveManagementNamespace));
    form.addField(XMPPDataFormField::fieldWithVarJidValue(QStringLiteral("with"), jid));
    return form;
}

bool XMPPMessageArchiveManagement::isMessageArchived(const XMPPMessage& message) {
    return !message.elementForName(QStringLiteral("result"))
                .elementForName(QStringLiteral("forwarded"))
                .isNull();
}

bool XMPPMessageArchiveManagement::isMessageArchiveFin(const XMPPMessage& message) {
    return !message.elementForName(QStringLiteral("fin")).isNull();
}

QString XMPPMessageArchiveManagement::queryMessagesForJID(const XMPPJID& jid, bool fetchingOlder,
                                                          const XMPPResultSet& resultSet) {
    const std::shared_ptr<XMPPStream> stream = xmppStream();
    const QString iqID = XMPPStream::generateUUID();
    const QString queryID = XMPPStream::generateUUID();

    XMLElement query(QStringLiteral("query"), XMPPMessageArchiveManagementNamespace);
    query.addAttributeWithName(QStringLiteral("queryid"), queryID);
    query.addChild(createFormForTargetUserJID(jid));
    query.addChild(resultSet.copy());
    const XMPPIQ iq = XMPPIQ::iqWithType(QStringLiteral("set"), iqID, query);

    QueryFetchingOptions options;
    options.direction = fetchingOlder ? XMPPMessageArchiveFetchingOlder : XMPPMessageArchiveFetchingNewer;
    options.iqID = iqID;
    if (stream && stream->myJID()) options.archiveOwner = stream->myJID()->bareJID();
    // Recorded before the iq leaves, so no answer can come before its query is known.
    onModuleQueue([&] {
        queryIDToMessages_.insert(queryID, {});
        queryIDToQuery_.insert(queryID, resultSet.copy());
        queryFetchingOptions_.insert(queryID, options);
        iqIDToQueryID_.insert(iqID, queryID);
        if (options.archiveOwner) lastArchiveOwner_ = options.archiveOwner;
    });

    if (stream) {
        stream->sendElement(iq);
    } else {
        moduleQueue()->async([self = sharedSelf<XMPPMessageArchiveManagement>(), queryID] {
            self->failQuery(queryID, archiveError(XMPPMessageArchiveManagementQueryNotSent,
                                                  QStringLiteral("The module is on no stream")));
        });
    }
    return queryID;
}

void XMPPMessageArchiveManagement::xmppStreamDidReceiveMessage(XMPPStream&, const XMPPMessage& message) {
    const XMLElement result = message.elementForName(QStringLiteral("result"));
    if (!result.elementForName(QStringLiteral("forwarded")).isNull()) {
        handleResult(message, result);
        return;
    }
    const XMLElement fin = message.elementForName(QStringLiteral("fin"));
    if (!fin.isNull()) handleFin(message, fin);
}

void XMPPMessageArchiveManagement::handleResult(const XMPPMessage& message, const XMLElement& result) {
    const QString queryID = result.attributeStringValueForName(QStringLiteral("queryid"));
    auto options = queryFetchingOptions_.find(queryID);
    if (options == queryFetchingOptions_.end() || !speaksForArchive(message, options->archiveOwner)) return;
    const QString resultID = result.attributeStringValueForName(QStringLiteral("id"));
    if (!options->oldestResultID) options->oldestResultID = resultID;
    options->newestResultID = resultID;
    queryIDToMessages_[queryID].append(XMPPMessage(
        result.elementForName(QStringLiteral("forwarded")).elementForName(QStringLiteral("message"))));
}

void XMPPMessageArchiveManagement::handleFin(const XMPPMessage& message, const XMLElement& fin) {
    const QString queryID = fin.attributeStringValueForName(QStringLiteral("queryid"));
    const bool isRecorded = queryFetchingOptions_.contains(queryID);
    const std::optional<XMPPJID> owner =
        isRecorded ? queryFetchingOptions_.value(queryID).archiveOwner : lastArchiveOwner_;
    if (!speaksForArchive(message, owner)) return;

    const QList<XMPPMessage> messages = queryIDToMessages_.value(queryID);
    const XMPPResultSet query(queryIDToQuery_.value(queryID));
    const QueryFetchingOptions options = queryFetchingOptions_.value(queryID);
    forgetQuery(queryID);
    const XMPPResultSet finResultSet(fin.elementForName(QStringLiteral("set")));
    auto self = sharedSelf<XMPPMessageArchiveManagement>();
    multicastDelegate_.invoke([=](XMPPMessageArchiveManagementDelegate& delegate) {
        delegate.messageArchiveManagementDidReceiveMessages(*self, messages, query, queryID, finResultSet,
                                                            options.oldestResultID, options.newestResultID,
                                                            options.direction);
    });
}

bool XMPPMessageArchiveManagement::xmppStreamDidReceiveIQ(XMPPStream&, const XMPPIQ& iq) {
    if (!iq.isResultIQ() && !iq.isErrorIQ()) return false;
    const QString queryID = iqIDToQueryID_.value(iq.elementID());
    if (queryID.isEmpty() || !speaksForArchive(iq, queryFetchingOptions_.value(queryID).archiveOwner))
        return false;
    if (iq.isErrorIQ()) {
        failQuery(queryID, archiveError(XMPPMessageArchiveManagementQueryRefused, iq.compactXMLString()));
    } else {
        // The page itself ends with the end marker.
        iqIDToQueryID_.remove(iq.elementID());
    }
    return true;
}

void XMPPMessageArchiveManagement::xmppStreamDidFailToSendIQ(XMPPStream&, const XMPPIQ& iq,
                                                             const Error& error) {
    const QString queryID = iqIDToQueryID_.value(iq.elementID());
    if (queryID.isEmpty()) return;
    failQuery(queryID, archiveError(XMPPMessageArchiveManagementQueryNotSent, error.description()));
}

void XMPPMessageArchiveManagement::xmppStreamDidDisconnect(XMPPStream&, const std::optional<Error>&) {
    // No end marker can come on a stream that is gone.
    for (const QString& queryID : queryFetchingOptions_.keys()) {
        failQuery(queryID, archiveError(XMPPMessageArchiveManagementDisconnected,
                                        QStringLiteral("The stream disconnected")));
    }
}

void XMPPMessageArchiveManagement::failQuery(const QString& queryID, const Error& error) {
    if (!queryFetchingOptions_.contains(queryID)) return;
    forgetQuery(queryID);
    auto self = sharedSelf<XMPPMessageArchiveManagement>();
    multicastDelegate_.invoke([self, queryID, error](XMPPMessageArchiveManagementDelegate& delegate) {
        delegate.messageArchiveManagementDidFailQuery(*self, queryID, error);
    });
}

void XMPPMessageArchiveManagement::forgetQuery(const QString& queryID) {
    queryIDToMessages_.remove(queryID);
    queryIDToQuery_.remove(queryID);
    const QueryFetchingOptions options = queryFetchingOptions_.take(queryID);
    iqIDToQueryID_.remove(options.iqID);
}

}  // namespace tovrin::xmpp
