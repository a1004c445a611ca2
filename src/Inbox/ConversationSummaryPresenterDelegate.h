#pragma once

#include <QtGlobal>

namespace tovrin {

class ConversationSummaryPresenter;

// The inbox list, told after every change of the presenter's rows.
class ConversationSummaryPresenterDelegate {
public:
    virtual ~ConversationSummaryPresenterDelegate() = default;
    // Any change but the removal of a row.
    virtual void conversationSummaryPresenterDidChange(ConversationSummaryPresenter& presenter) = 0;
    // The row at the index, counted before the removal, has gone.
    virtual void conversationSummaryPresenterDidChange(ConversationSummaryPresenter& presenter,
                                                       quint32 dueToDeletionOfConversationAtIndex) = 0;
};

}  // namespace tovrin
