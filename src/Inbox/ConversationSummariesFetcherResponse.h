#pragma once

#include "Chat/ConversationSummaryManagerLoadResponse.h"

namespace tovrin {

// A page the fetcher loaded: the summaries as the manager gave them and its fall-back note, the
// manager's own record passed on.
using ConversationSummariesFetcherResponse = ConversationSummaryManagerLoadResponse;

}  // namespace tovrin
