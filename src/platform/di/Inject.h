#pragma once

#include <QString>

namespace tovrin {

// The container keys a class's constructor takes, in the constructor's order:
//
//     using Dependencies = Inject<UserDefaults, Named<OperationQueue, InjectorKeyMainQueue>>;
//
// A key is a class (its class key), `Named<T, constant>` (a string key yielding T), `Provider<K>`
// (a function that resolves K at each call, for what must be current when used, not when built) or
// `Value<K>` (a copy of the object K yields). The classes may be declared only: the container
// resolves them where the class is bound.
template <class... Keys>
struct Inject {};

template <class T, const QString& Name>
struct Named {};

template <class Key>
struct Provider {};

template <class Key>
struct Value {};

}  // namespace tovrin
