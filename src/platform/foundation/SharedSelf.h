#pragma once

#include <memory>

#include "platform/foundation/Error.h"

namespace tovrin {

// `enable_shared_from_this` with typed handles on the object: `sharedSelf<Screen>()` and
// `weakSelf<Screen>()` name the class once instead of casting `shared_from_this()`. The class asked
// for must be the object's own or one of its bases; anything else stops the process.
template <class Base>
class EnableSharedSelf : public std::enable_shared_from_this<Base> {
public:
    template <class T = Base>
    std::shared_ptr<T> sharedSelf() {
        return cast<T>(this->shared_from_this());
    }
    template <class T = Base>
    std::shared_ptr<const T> sharedSelf() const {
        return cast<const T>(this->shared_from_this());
    }
    // Empty while no shared_ptr owns the object (during construction, for example).
    template <class T = Base>
    std::weak_ptr<T> weakSelf() {
        auto self = this->weak_from_this().lock();
        if (!self) return {};
        return cast<T>(std::move(self));
    }

protected:
    EnableSharedSelf() = default;
    EnableSharedSelf(const EnableSharedSelf&) = default;
    EnableSharedSelf& operator=(const EnableSharedSelf&) = default;
    ~EnableSharedSelf() = default;

private:
    template <class T, class U>
    static std::shared_ptr<T> cast(std::shared_ptr<U> self) {
        if constexpr (std::is_convertible_v<U*, T*>) {
            return self;
        } else {
            auto typed = std::dynamic_pointer_cast<T>(std::move(self));
            TVR_ASSERT(typed != nullptr, "sharedSelf/weakSelf asked for a class the object is not of");
            return typed;
        }
    }
};

}  // namespace tovrin
