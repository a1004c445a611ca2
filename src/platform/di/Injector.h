#pragma once

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <tuple>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "platform/di/Inject.h"
#include "platform/foundation/Error.h"

namespace tovrin {

class Injector;

// A container key: a type (a class or an interface) or a string.
class Key {
public:
    template <class T>
    static Key of() {
        return Key(std::type_index(typeid(T)));
    }
    Key(const QString& name) : value_(name) {}  // NOLINT: strings are keys as they stand
    Key(const char* name) : value_(QString::fromUtf8(name)) {}

    bool isType() const { return std::holds_alternative<std::type_index>(value_); }
    QString description() const;

    friend bool operator==(const Key&, const Key&) = default;
    size_t hash() const;

private:
    explicit Key(std::type_index type) : value_(type) {}
    std::variant<std::type_index, QString> value_;
};

struct KeyHash {
    size_t operator()(const Key& key) const { return key.hash(); }
};

// The dynamic arguments of a request, handed to factories.
using Arguments = QVariantList;

// How long the objects of a binding live.
enum class Scope {
    PerRequest,  // a new object at every request
    Singleton,   // the first object, for the container's life
    PerMember,   // the object made for the signed-in member, until the member's scope ends
};

namespace injector_detail {

template <class T>
concept HasContainerInitializer = requires(Injector& injector) {
    { T::create(injector) } -> std::convertible_to<std::shared_ptr<T>>;
};

template <class T>
concept DeclaresDependencies = requires {
    typename T::Dependencies;
};

template <class T>
concept TakesInjector = requires(T& object, Injector* injector) {
    object.setInjector(injector);
};

// What a key of `Inject<…>` hands the constructor; defined below the container.
template <class K>
struct Resolve;

QString typeName(const std::type_info& type);
QString demangledName(const char* mangled);

}  // namespace injector_detail

// The dependency-injection container. A binding says how a key's objects are made (an instance, a
// class built from its declared keys, an interface resolved as a class, a factory given the
// container and the request's arguments) and how long they live (`Scope`). A class key without a
// binding builds a new object through the class's `static std::shared_ptr<T> create(Injector&)`
// or its default constructor; a class that declares its keys (`Dependencies`) is built only
// through a binding, which states its lifetime. Every object the container builds that has
// `setInjector(Injector*)` is given the container. Requests come from the main thread.
class Injector {
public:
    template <class T>
    using Factory = std::function<std::shared_ptr<T>(Injector&, const Arguments&)>;

    Injector() = default;
    Injector(const Injector&) = delete;
    Injector& operator=(const Injector&) = delete;

    // Binding a key again replaces its binding and forgets the object its scope kept.
    template <class T>
    void bindInstance(std::shared_ptr<T> instance) {
        bindInstance<T>(Key::of<T>(), std::move(instance));
    }
    template <class T>
    void bindInstance(const Key& key, std::shared_ptr<T> instance) {
        setBinding(key, typeid(T), Scope::PerRequest,
                   [instance = std::move(instance)](Injector&, const Arguments&) {
                       return std::static_pointer_cast<void>(instance);
                   });
    }

    // T built from its declared keys (`T::Dependencies`), or by its default constructor.
    template <class T>
    void bind(Scope scope = Scope::PerRequest) {
        setBinding(Key::of<T>(), typeid(T), scope, [](Injector& injector, const Arguments&) {
            return std::static_pointer_cast<void>(injector.construct<T>());
        });
    }

    // The interface resolves as the implementation's class key; an implementation without a
    // binding of its own is built as an unbound class or from its declared keys.
    template <class Interface, class Implementation>
    void bindClass(Scope scope = Scope::PerRequest) {
        static_assert(std::is_base_of_v<Interface, Implementation>);
        setBinding(Key::of<Interface>(), typeid(Interface), scope,
                   [](Injector& injector, const Arguments& arguments) {
                       std::shared_ptr<Interface> object =
                           std::static_pointer_cast<Implementation>(injector.resolve(
                               Key::of<Implementation>(), typeid(Implementation), arguments,
                               [&injector] { return injector.buildOrConstruct<Implementation>(); }));
                       return std::static_pointer_cast<void>(object);
                   });
    }

    template <class T>
    void bindFactory(Factory<T> factory, Scope scope = Scope::PerRequest) {
        bindFactory<T>(Key::of<T>(), std::move(factory), scope);
    }
    template <class T>
    void bindFactory(const Key& key, Factory<T> factory, Scope scope = Scope::PerRequest) {
        setBinding(key, typeid(T), scope,
                   [factory = std::move(factory)](Injector& injector, const Arguments& arguments) {
                       std::shared_ptr<T> object = factory(injector, arguments);
                       if constexpr (injector_detail::TakesInjector<T>) {
                           if (object) object->setInjector(&injector);
                       }
                       return std::static_pointer_cast<void>(object);
                   });
    }

    bool hasBinding(const Key& key) const { return bindings_.contains(key); }

    // The object of the key's scope: a new one per request, the kept singleton, or the member's
    // object (nothing while none was made). A factory may yield nothing.
    template <class T>
    std::shared_ptr<T> get(const Arguments& arguments = {}) {
        return std::static_pointer_cast<T>(
            resolve(Key::of<T>(), typeid(T), arguments, [this] { return build<T>(); }));
    }

    // A string key; the binding must yield exactly T.
    template <class T>
    std::shared_ptr<T> get(const Key& key, const Arguments& arguments = {}) {
        return std::static_pointer_cast<T>(resolve(key, typeid(T), arguments, nullptr));
    }

    // A new object through the key's binding, whatever its scope; a per-member key keeps it as the
    // member's object from now on.
    template <class T>
    std::shared_ptr<T> make(const Arguments& arguments = {}) {
        return std::static_pointer_cast<T>(
            makeNew(Key::of<T>(), typeid(T), arguments, [this] { return build<T>(); }));
    }
    template <class T>
    std::shared_ptr<T> make(const Key& key, const Arguments& arguments = {}) {
        return std::static_pointer_cast<T>(makeNew(key, typeid(T), arguments, nullptr));
    }

    // Drops the member's objects in the order they were made; per-member keys yield nothing until
    // made again.
    void endMemberScope();

    // T built from its declared keys, resolved in their order, whatever T's own binding; for
    // factories that do more than build. The keys' classes must be complete where it is called.
    template <class T>
    std::shared_ptr<T> construct() {
        std::shared_ptr<T> object;
        if constexpr (injector_detail::DeclaresDependencies<T>) {
            object = constructFrom<T>(static_cast<typename T::Dependencies*>(nullptr));
        } else {
            object = std::make_shared<T>();
        }
        giveInjector(object);
        return object;
    }

private:
    using ErasedFactory = std::function<std::shared_ptr<void>(Injector&, const Arguments&)>;
    using Builder = std::function<std::shared_ptr<void>()>;
    struct Binding {
        std::type_index type;
        Scope scope;
        ErasedFactory factory;
    };

    void setBinding(const Key& key, const std::type_info& type, Scope scope, ErasedFactory factory);
    const Binding* bindingFor(const Key& key, const std::type_info& type) const;
    std::shared_ptr<void> resolve(const Key& key, const std::type_info& type, const Arguments& arguments,
                                  const Builder& buildUnbound);
    std::shared_ptr<void> makeNew(const Key& key, const std::type_info& type, const Arguments& arguments,
                                  const Builder& buildUnbound);
    std::shared_ptr<void> runBinding(const Key& key, const Binding* binding, const Arguments& arguments,
                                     const Builder& buildUnbound);
    std::shared_ptr<void> memberObject(const Key& key) const;
    void keepMemberObject(const Key& key, std::shared_ptr<void> object);

    // The braced list resolves the keys left to right.
    template <class T, class... Keys>
    std::shared_ptr<T> constructFrom(Inject<Keys...>*) {
        std::tuple<typename injector_detail::Resolve<Keys>::Type...> arguments{
            injector_detail::Resolve<Keys>::from(*this)...};
        return std::apply([](auto&... values) { return std::make_shared<T>(std::move(values)...); },
                          arguments);
    }

    template <class T>
    std::shared_ptr<void> build() {
        std::shared_ptr<T> object;
        if constexpr (injector_detail::HasContainerInitializer<T>) {
            object = T::create(*this);
        } else if constexpr (injector_detail::DeclaresDependencies<T>) {
            TVR_FATAL("The container cannot build " + injector_detail::typeName(typeid(T)) +
                      ": it declares its keys and has no binding to state its lifetime");
        } else if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>) {
            object = std::make_shared<T>();
        } else {
            TVR_FATAL("The container cannot build " + injector_detail::typeName(typeid(T)) +
                      ": it has no binding and no container initializer");
        }
        giveInjector(object);
        return std::static_pointer_cast<void>(object);
    }

    template <class T>
    std::shared_ptr<void> buildOrConstruct() {
        if constexpr (injector_detail::DeclaresDependencies<T>) {
            return std::static_pointer_cast<void>(construct<T>());
        } else {
            return build<T>();
        }
    }

    template <class T>
    void giveInjector(const std::shared_ptr<T>& object) {
        if constexpr (injector_detail::TakesInjector<T>) {
            if (object) object->setInjector(this);
        }
    }

    std::unordered_map<Key, Binding, KeyHash> bindings_;
    std::unordered_map<Key, std::shared_ptr<void>, KeyHash> singletons_;
    std::vector<std::pair<Key, std::shared_ptr<void>>> memberObjects_;
    int depth_ = 0;
};

namespace injector_detail {

template <class K>
struct Resolve {
    using Type = std::shared_ptr<K>;
    static Type from(Injector& injector) { return injector.get<K>(); }
};

template <class T, const QString& Name>
struct Resolve<Named<T, Name>> {
    using Type = std::shared_ptr<T>;
    static Type from(Injector& injector) { return injector.get<T>(Key(Name)); }
};

// The container outlives everything it builds, so the function may hold it.
template <class K>
struct Resolve<Provider<K>> {
    using Type = std::function<typename Resolve<K>::Type()>;
    static Type from(Injector& injector) {
        return [container = &injector] { return Resolve<K>::from(*container); };
    }
};

template <class K>
struct Resolve<Value<K>> {
    using Type = typename Resolve<K>::Type::element_type;
    static Type from(Injector& injector) {
        const auto object = Resolve<K>::from(injector);
        TVR_ASSERT(object != nullptr, "The container has no object to copy for " + typeName(typeid(Type)));
        return *object;
    }
};

}  // namespace injector_detail

}  // namespace tovrin
