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

const QString GreetingKey = QStringLiteral("Greeting");
const QString NumberKey = QStringLiteral("Number");

struct Counter {
    int count = 0;
};

// Names its five keys once; the container resolves them in this order.
struct Five {
    using Dependencies =
        Inject<Clock, Plain, Named<QString, GreetingKey>, Provider<Counter>, Value<Named<int, NumberKey>>>;
    Five(std::shared_ptr<Clock> clock, std::shared_ptr<Plain> plain, std::shared_ptr<QString> greeting,
         std::function<std::shared_ptr<Counter>()> counter, int number)
        : clock(std::move(clock)),
          plain(std::move(plain)),
          greeting(std::move(greeting)),
          counter(std::move(counter)),
          number(number) {}
    std::shared_ptr<Clock> clock;
    std::shared_ptr<Plain> plain;
    std::shared_ptr<QString> greeting;
    std::function<std::shared_ptr<Counter>()> counter;
    int number;
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
    injector.bind<FixedClock>(Scope::Singleton);
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
    injector.bindFactory<Plain>(
        "Counted",
        [&](Injector&, const Arguments&) {
            ++runs;
            return std::make_shared<Plain>();
        },
        Scope::Singleton);
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

TEST(Injector, AClassIsBoundInOneLineAndBuiltFromItsKeysInTheirOrder) {
    Injector injector;
    std::vector<QString> resolved;
    auto journaled = [&resolved]<class T>(const QString& name, std::shared_ptr<T> object) {
        return [&resolved, name, object](Injector&, const Arguments&) {
            resolved.push_back(name);
            return object;
        };
    };
    injector.bindFactory<Clock>(journaled("clock", std::shared_ptr<Clock>(std::make_shared<FixedClock>())));
    injector.bindFactory<Plain>(journaled("plain", std::make_shared<Plain>(Plain{3})));
    injector.bindFactory<QString>(GreetingKey, journaled("greeting", std::make_shared<QString>("hello")));
    injector.bindFactory<Counter>(journaled("counter", std::make_shared<Counter>()), Scope::Singleton);
    injector.bindFactory<int>(NumberKey, journaled("number", std::make_shared<int>(9)));

    injector.bind<Five>();
    auto five = injector.get<Five>();

    EXPECT_EQ(resolved, (std::vector<QString>{"clock", "plain", "greeting", "number"}));
    EXPECT_EQ(five->clock->now(), 7);
    EXPECT_EQ(five->plain->value, 3);
    EXPECT_EQ(*five->greeting, "hello");
    EXPECT_EQ(five->number, 9);
    // The provider resolves at each call, not when the object is built.
    EXPECT_EQ(five->counter(), injector.get<Counter>());
    EXPECT_EQ(resolved.back(), "counter");
    EXPECT_NE(injector.get<Five>(), five);
}

// Per member: nothing until the member's object is made, that object until the member's scope ends.
TEST(Injector, EachScopeKeepsItsObjectsAsLongAsItSays) {
    struct Case {
        const char* name;
        Scope scope;
        bool yieldsBeforeMade;
        bool requestsShareOne;
        bool yieldsTheMadeOne;
        bool yieldsAfterTheMemberScope;
    };
    const Case cases[] = {
        {"per request", Scope::PerRequest, true, false, false, true},
        {"singleton", Scope::Singleton, true, true, false, true},
        {"per member", Scope::PerMember, false, true, true, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        Injector injector;
        injector.bind<Plain>(testCase.scope);
        EXPECT_EQ(injector.get<Plain>() != nullptr, testCase.yieldsBeforeMade);

        const auto made = injector.make<Plain>();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(injector.get<Plain>() == made, testCase.yieldsTheMadeOne);
        EXPECT_EQ(injector.get<Plain>() == injector.get<Plain>(), testCase.requestsShareOne);

        injector.endMemberScope();
        EXPECT_EQ(injector.get<Plain>() != nullptr, testCase.yieldsAfterTheMemberScope);
        EXPECT_NE(injector.make<Plain>(), made);
    }
}

TEST(Injector, MemberObjectsAreDroppedInTheOrderTheyWereMade) {
    Injector injector;
    std::vector<int> dropped;
    auto dropping = [&dropped](int number) {
        return [&dropped, number](Injector&, const Arguments&) {
            return std::shared_ptr<Plain>(new Plain{number}, [&dropped](Plain* plain) {
                dropped.push_back(plain->value);
                delete plain;
            });
        };
    };
    for (int number : {1, 2, 3}) {
        injector.bindFactory<Plain>(QString::number(number), dropping(number), Scope::PerMember);
    }
    for (const char* key : {"3", "1", "2"}) injector.make<Plain>(key);
    EXPECT_EQ(injector.get<Plain>("1")->value, 1);
    EXPECT_TRUE(dropped.empty());

    injector.endMemberScope();

    EXPECT_EQ(dropped, (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(injector.get<Plain>("1"), nullptr);
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
    injector.bindFactory<Plain>([&](Injector&, const Arguments&) { return current; }, Scope::Singleton);
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

TEST(InjectorDeathTest, AClassThatDeclaresItsKeysIsBuiltOnlyThroughABinding) {
    Injector injector;
    EXPECT_DEATH(injector.get<Five>(), "has no binding to state its lifetime");
}

}  // namespace
}  // namespace tovrin
