#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

#include "Chat/ConversationSummary.h"

namespace tovrin {

// A summary keyed by its peer: two wrappers are equal when their profile ids are, so a set of them
// holds one row per peer and a wrapper around any summary of a peer finds that peer's row.
class ConversationSummaryWrapper {
public:
    explicit ConversationSummaryWrapper(std::shared_ptr<ConversationSummary> conversationSummary)
        : conversationSummary_(std::move(conversationSummary)) {}

    const std::shared_ptr<ConversationSummary>& conversationSummary() const { return conversationSummary_; }
    const QString& profileID() const { return conversationSummary_->profileID(); }

    friend bool operator==(const ConversationSummaryWrapper& a, const ConversationSummaryWrapper& b) {
        return a.profileID() == b.profileID();
    }

private:
    std::shared_ptr<ConversationSummary> conversationSummary_;
};

inline size_t qHash(const ConversationSummaryWrapper& wrapper, size_t seed = 0) {
    return qHash(wrapper.profileID(), seed);
}

// The presenter's rows in their order, one per peer. Never changed once made: every change of the
// list is a new set.
using ConversationSummaryWrapperOrderedSet = std::vector<ConversationSummaryWrapper>;

// A read-only array of the summaries of one set; it keeps the set it was made with, so it shows the
// rows of its moment whatever changes later.
class ConversationSummaryWrapperArrayFacade {
public:
    explicit ConversationSummaryWrapperArrayFacade(
        std::shared_ptr<const ConversationSummaryWrapperOrderedSet> summariesOrderedSet)
        : summariesOrderedSet_(std::move(summariesOrderedSet)) {}

    qsizetype count() const { return qsizetype(summariesOrderedSet_->size()); }
    const std::shared_ptr<ConversationSummary>& objectAtIndex(qsizetype index) const {
        return summariesOrderedSet_->at(size_t(index)).conversationSummary();
    }

    const std::shared_ptr<const ConversationSummaryWrapperOrderedSet>& summariesOrderedSet() const {
        return summariesOrderedSet_;
    }

private:
    std::shared_ptr<const ConversationSummaryWrapperOrderedSet> summariesOrderedSet_;
};

}  // namespace tovrin
