#pragma once

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <typeindex>
#include <unordered_map>
#include <unordered_set>
#include <variant>

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

namespace injector_detail {

template <class T>
concept HasContainerInitializer = requires(Injector& injector) {
    { T::create(injector) } -> std::convertible_to<std::shared_ptr<T>>;
};

template <class T>
concept TakesInjector = requires(T& object, Injector* injector) {
    object.setInjector(injector);
};

QString typeName(const std::type_info& type);
QString demangledName(const char* mangled);

}  // namespace injector_detail

// The dependency-injection container. Bindings: an instance, a class (an interface resolved as the
// class's key), a factory (given the container and the request's arguments), and separately a
// singleton scope on a key. A class key without a binding builds a new object through the class's
// declared initializer `static std::shared_ptr<T> create(Injector&)`, or its default constructor.
// Every object the container builds that has `setInjector(Injector*)` is given the container.
// Requests come from the main thread.
class Injector {
public:
    template <class T>
    using Factory = std::function<std::shared_ptr<T>(Injector&, const Arguments&)>;

    Injector() = default;
    Injector(const Injector&) = delete;
    Injector& operator=(const Injector&) = delete;

    // Binding a key again replaces its binding and forgets its singleton object.
    template <class T>
    void bindInstance(std::shared_ptr<T> instance) {
        bindInstance<T>(Key::of<T>(), std::move(instance));
    }
    template <class T>
    void bindInstance(const Key& key, std::shared_ptr<T> instance) {
        setBinding(key, typeid(T), [instance = std::move(instance)](Injector&, const Arguments&) {
            return std::static_pointer_cast<void>(instance);
        });
    }

    template <class Interface, class Implementation>
    void bindClass() {
        static_assert(std::is_base_of_v<Interface, Implementation>);
        setBinding(Key::of<Interface>(), typeid(Interface),
                   [](Injector& injector, const Arguments& arguments) {
                       std::shared_ptr<Interface> object = injector.get<Implementation>(arguments);
                       return std::static_pointer_cast<void>(object);
                   });
    }

    template <class T>
    void bindFactory(Factory<T> factory) {
        bindFactory<T>(Key::of<T>(), std::move(factory));
    }
    template <class T>
    void bindFactory(const Key& key, Factory<T> factory) {
        setBinding(key, typeid(T),
                   [factory = std::move(factory)](Injector& injector, const Arguments& arguments) {
                       std::shared_ptr<T> object = factory(injector, arguments);
                       if constexpr (injector_detail::TakesInjector<T>) {
                           if (object) object->setInjector(&injector);
                       }
                       return std::static_pointer_cast<void>(object);
                   });
    }

    // The first object the key yields is kept and returned at every later request.
    void setSingleton(const Key& key);
    template <class T>
    void setSingleton() {
        setSingleton(Key::of<T>());
    }

    bool hasBinding(const Key& key) const { return bindings_.contains(key); }

    template <class T>
    std::shared_ptr<T> get(const Arguments& arguments = {}) {
        const Key key = Key::of<T>();
        return std::static_pointer_cast<T>(resolve(key, typeid(T), arguments, [this] { return build<T>(); }));
    }

    // A string key; the binding must yield exactly T.
    template <class T>
    std::shared_ptr<T> get(const Key& key, const Arguments& arguments = {}) {
        return std::static_pointer_cast<T>(resolve(key, typeid(T), arguments, nullptr));
    }

private:
    using ErasedFactory = std::function<std::shared_ptr<void>(Injector&, const Arguments&)>;
    struct Binding {
        std::type_index type;
        ErasedFactory factory;
    };

    void setBinding(const Key& key, const std::type_info& type, ErasedFactory factory);
    std::shared_ptr<void> resolve(const Key& key, const std::type_info& type, const Arguments& arguments,
                                  const std::function<std::shared_ptr<void>()>& buildUnbound);

    template <class T>
    std::shared_ptr<void> build() {
        std::shared_ptr<T> object;
        if constexpr (injector_detail::HasContainerInitializer<T>) {
            object = T::create(*this);
        } else if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>) {
            object = std::make_shared<T>();
        } else {
            TVR_FATAL("The container cannot build " + injector_detail::typeName(typeid(T)) +
                      ": it has no binding and no container initializer");
        }
        if constexpr (injector_detail::TakesInjector<T>) {
            if (object) object->setInjector(this);
        }
        return std::static_pointer_cast<void>(object);
    }

    std::unordered_map<Key, Binding, KeyHash> bindings_;
    std::unordered_set<Key, KeyHash> singletonKeys_;
    std::unordered_map<Key, std::pair<std::type_index, std::shared_ptr<void>>, KeyHash> singletons_;
    int depth_ = 0;
};

}  // namespace tovrin
