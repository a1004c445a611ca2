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

void Injector::setBinding(const Key& key, const std::type_info& type, Scope scope, ErasedFactory factory) {
    bindings_.insert_or_assign(key, Binding{std::type_index(type), scope, std::move(factory)});
    singletons_.erase(key);
    std::erase_if(memberObjects_, [&key](const auto& kept) { return kept.first == key; });
}

const Injector::Binding* Injector::bindingFor(const Key& key, const std::type_info& type) const {
    const auto found = bindings_.find(key);
    if (found == bindings_.end()) return nullptr;
    TVR_ASSERT(found->second.type == std::type_index(type), "The container binds " + key.description() +
                                                                " to another type than " +
                                                                injector_detail::typeName(type));
    return &found->second;
}

std::shared_ptr<void> Injector::resolve(const Key& key, const std::type_info& type,
                                        const Arguments& arguments, const Builder& buildUnbound) {
    const Binding* binding = bindingFor(key, type);
    if (!binding) return runBinding(key, nullptr, arguments, buildUnbound);
    switch (binding->scope) {
        case Scope::PerRequest:
            return runBinding(key, binding, arguments, buildUnbound);
        case Scope::PerMember:
            return memberObject(key);
        case Scope::Singleton:
            break;
    }
    if (const auto kept = singletons_.find(key); kept != singletons_.end()) return kept->second;
    std::shared_ptr<void> object = runBinding(key, binding, arguments, buildUnbound);
    if (object) singletons_.insert_or_assign(key, object);
    return object;
}

std::shared_ptr<void> Injector::makeNew(const Key& key, const std::type_info& type,
                                        const Arguments& arguments, const Builder& buildUnbound) {
    const Binding* binding = bindingFor(key, type);
    const bool perMember = binding && binding->scope == Scope::PerMember;
    std::shared_ptr<void> object = runBinding(key, binding, arguments, buildUnbound);
    if (perMember) keepMemberObject(key, object);
    return object;
}

std::shared_ptr<void> Injector::runBinding(const Key& key, const Binding* binding, const Arguments& arguments,
                                           const Builder& buildUnbound) {
    TVR_ASSERT(binding || buildUnbound, "The container has no binding for " + key.description());
    TVR_ASSERT(depth_ < 64, "The container is resolving " + key.description() + " in a cycle");
    ++depth_;
    // A factory may rebind keys, so it runs from a copy.
    std::shared_ptr<void> object =
        binding ? ErasedFactory(binding->factory)(*this, arguments) : buildUnbound();
    --depth_;
    return object;
}

std::shared_ptr<void> Injector::memberObject(const Key& key) const {
    for (const auto& [kept, object] : memberObjects_) {
        if (kept == key) return object;
    }
    return nullptr;
}

void Injector::keepMemberObject(const Key& key, std::shared_ptr<void> object) {
    for (auto& [kept, current] : memberObjects_) {
        if (kept == key) {
            current = std::move(object);
            return;
        }
    }
    memberObjects_.emplace_back(key, std::move(object));
}

void Injector::endMemberScope() {
    std::vector<std::pair<Key, std::shared_ptr<void>>> ending;
    ending.swap(memberObjects_);
    for (auto& [key, object] : ending) object.reset();
}

}  // namespace tovrin
