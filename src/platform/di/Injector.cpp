#include "platform/di/Injector.h"

#include <cxxabi.h>

#include <cstdlib>

namespace tovrin {

namespace injector_detail {

QString demangledName(const char* mangled) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    const QString name = QString::fromUtf8(status == 0 && demangled ? demangled : mangled);
    std::free(demangled);
    return name;
}

QString typeName(const std::type_info& type) {
    return demangledName(type.name());
}

}  // namespace injector_detail

QString Key::description() const {
    if (const auto* type = std::get_if<std::type_index>(&value_)) {
        return injector_detail::demangledName(type->name());
    }
    return '"' + std::get<QString>(value_) + '"';
}

size_t Key::hash() const {
    if (const auto* type = std::get_if<std::type_index>(&value_)) return type->hash_code();
    return qHash(std::get<QString>(value_));
}

void Injector::setBinding(const Key& key, const std::type_info& type, ErasedFactory factory) {
    bindings_.insert_or_assign(key, Binding{std::type_index(type), std::move(factory)});
    singletons_.erase(key);
}

void Injector::setSingleton(const Key& key) {
    singletonKeys_.insert(key);
}

std::shared_ptr<void> Injector::resolve(const Key& key, const std::type_info& type,
                                        const Arguments& arguments,
                                        const std::function<std::shared_ptr<void>()>& buildUnbound) {
    const bool singleton = singletonKeys_.contains(key);
    if (singleton) {
        if (auto found = singletons_.find(key); found != singletons_.end()) {
            TVR_ASSERT(found->second.first == std::type_index(type),
                       "The container holds " + key.description() + " as another type than " +
                           injector_detail::typeName(type));
            return found->second.second;
        }
    }

    TVR_ASSERT(depth_ < 64, "The container is resolving " + key.description() + " in a cycle");
    ++depth_;
    std::shared_ptr<void> object;
    if (auto binding = bindings_.find(key); binding != bindings_.end()) {
        TVR_ASSERT(binding->second.type == std::type_index(type), "The container binds " + key.description() +
                                                                      " to another type than " +
                                                                      injector_detail::typeName(type));
        const ErasedFactory factory = binding->second.factory;  // a factory may rebind keys
        object = factory(*this, arguments);
    } else if (buildUnbound) {
        object = buildUnbound();
    } else {
        --depth_;
        TVR_FATAL("The container has no binding for " + key.description());
    }
    --depth_;

    if (singleton && object) singletons_.insert_or_assign(key, std::make_pair(std::type_index(type), object));
    return object;
}

}  // namespace tovrin
