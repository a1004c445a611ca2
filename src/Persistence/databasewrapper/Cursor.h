#pragma once

#include <memory>
#include <optional>

#include "Persistence/databasewrapper/Row.h"
#include "platform/foundation/Error.h"

namespace tovrin {

class PreparedStatement;

// The rows of one execution. The first step runs when the cursor is made, so statements without
// result rows have run completely once their cursor exists. A cursor that goes away resets its
// statement, unless the statement has moved on to a newer execution meanwhile.
class Cursor {
public:
    // Nothing, with the error filled, when the first step fails.
    static std::shared_ptr<Cursor> create(std::shared_ptr<PreparedStatement> statement,
                                          Error* error = nullptr);
    ~Cursor();

    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // The next row, or nothing at the end. A failing step ends the iteration (its code stays in
    // `lastError`). Stepping an invalidated cursor stops the process.
    std::optional<Row> nextObject();
    void invalidate() { invalidated_ = true; }

    int lastError() const { return lastError_; }
    bool isInvalidated() const { return invalidated_; }

private:
    explicit Cursor(std::shared_ptr<PreparedStatement> statement) : statement_(std::move(statement)) {}
    std::optional<Row> step();

    std::shared_ptr<PreparedStatement> statement_;
    std::optional<Row> initialRow_;
    bool iterationDidBegin_ = false;
    int lastError_ = 0;
    bool invalidated_ = false;
};

}  // namespace tovrin
