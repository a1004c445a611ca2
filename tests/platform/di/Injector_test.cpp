#include "platform/di/Injector.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int now() const = 0;
};

class FixedClock : public Clock {
public:
    int now() const override { return 7; }
};

struct Plain {
    int value = 1;
};

struct Aware {
    Injector* injector = nullptr;
    void setInjector(Injector* container) { injector = container; }
};

// Declares its container initializer: a clock and a string-keyed name, in that order.
struct Declared {
    std::shared_ptr<Clock> clock;
    QString name;
    static std::shared_ptr<Declared> create(Injector& injector) {
        auto object = std::make_shared<Declared>();
        object->clock = injector.get<Clock>();
        object->name = *injector.get<QString>("Name");
        return object;
    }
};

TEST(Injector, AnInstanceIsTheSameObjectAtEveryRequest) {
    Injector injector;
    auto plain = std::make_shared<Plain>();
    injector.bindInstance(plain);
    injector.bindInstance("Shared", plain);
    EXPECT_EQ(injector.get<Plain>(), plain);
    EXPECT_EQ(injector.get<Plain>("Shared"), plain);
}

TEST(Injector, AnInterfaceBoundToAClassResolvesAsTheClass) {
    Injector injector;
    injector.bindClass<Clock, FixedClock>();
    auto first = injector.get<Clock>();
    EXPECT_EQ(first->now(), 7);
    EXPECT_NE(first, injector.get<Clock>());
    // A singleton class makes the interface yield the singleton too.
    injector.setSingleton<FixedClock>();
    EXPECT_EQ(injector.get<Clock>(), injector.get<Clock>());
    EXPECT_EQ(injector.get<Clock>(), std::static_pointer_cast<Clock>(injector.get<FixedClock>()));
}

TEST(Injector, AFactoryRunsAtEveryRequestWithItsArguments) {
    Injector injector;
    int runs = 0;
    injector.bindFactory<QString>("Greeting", [&](Injector&, const Arguments& arguments) {
        ++runs;
        return std::make_shared<QString>("hello " + arguments.value(0).toString());
    });
    EXPECT_EQ(*injector.get<QString>("Greeting", {"chat.example.com"}), "hello chat.example.com");
    EXPECT_EQ(*injector.get<QString>("Greeting"), "hello ");
    EXPECT_EQ(runs, 2);
}

TEST(Injector, ASingletonKeepsTheFirstObjectForTheContainersLife) {
    Injector injector;
    int runs = 0;
    injector.bindFactory<Plain>("Counted", [&](Injector&, const Arguments&) {
        ++runs;
        return std::make_shared<Plain>();
    });
    injector.setSingleton("Counted");
    EXPECT_EQ(injector.get<Plain>("Counted"), injector.get<Plain>("Counted"));
    EXPECT_EQ(runs, 1);
    // Rebinding forgets the kept object.
    injector.bindInstance("Counted", std::make_shared<Plain>(Plain{5}));
    EXPECT_EQ(injector.get<Plain>("Counted")->value, 5);
}

TEST(Injector, AnUnboundClassIsBuiltNewThroughItsInitializer) {
    Injector injector;
    injector.bindClass<Clock, FixedClock>();
    injector.bindInstance("Name", std::make_shared<QString>("declared"));
    auto first = injector.get<Declared>();
    EXPECT_EQ(first->clock->now(), 7);
    EXPECT_EQ(first->name, "declared");
    EXPECT_NE(first, injector.get<Declared>());
    EXPECT_NE(injector.get<Plain>(), injector.get<Plain>());
}

TEST(Injector, BuiltObjectsAreGivenTheContainer) {
    Injector injector;
    EXPECT_EQ(injector.get<Aware>()->injector, &injector);
    injector.bindFactory<Aware>("Made",
                                [](Injector&, const Arguments&) { return std::make_shared<Aware>(); });
    EXPECT_EQ(injector.get<Aware>("Made")->injector, &injector);
    // An instance is the caller's object as it stands.
    injector.bindInstance("Given", std::make_shared<Aware>());
    EXPECT_EQ(injector.get<Aware>("Given")->injector, nullptr);
}

TEST(Injector, APerMemberKeyMayYieldNothing) {
    Injector injector;
    std::shared_ptr<Plain> current;
    injector.bindFactory<Plain>([&](Injector&, const Arguments&) { return current; });
    injector.setSingleton<Plain>();
    EXPECT_EQ(injector.get<Plain>(), nullptr);
    current = std::make_shared<Plain>();
    EXPECT_EQ(injector.get<Plain>(), current);
}

TEST(InjectorDeathTest, MissingBindingsAndWrongTypesStopTheProcess) {
    Injector injector;
    EXPECT_DEATH(injector.get<Plain>("Unbound"), "no binding for \"Unbound\"");
    EXPECT_DEATH(injector.get<Clock>(), "cannot build");
    injector.bindInstance("Number", std::make_shared<int>(1));
    EXPECT_DEATH(injector.get<QString>("Number"), "another type");
}

struct Cyclic {
    static std::shared_ptr<Cyclic> create(Injector& injector) { return injector.get<Cyclic>(); }
};

TEST(InjectorDeathTest, ACycleStopsTheProcess) {
    Injector injector;
    EXPECT_DEATH(injector.get<Cyclic>(), "in a cycle");
}

}  // namespace
}  // namespace tovrin
