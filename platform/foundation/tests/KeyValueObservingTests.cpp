#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

class Person : public NSObject {
    VX_OBJECT(Person, NSObject)

public:
    using NSObject::NSObject;
    static Ref<Person> init() { return make<Person>(); }

    void setName(const Value& v) { setValueNotifying("name", m_name, v); }
    void setFirst(const Value& v) { setValueNotifying("first", m_first, v); }
    void setLast(const Value& v) { setValueNotifying("last", m_last, v); }
    void setFriend(const Ref<Person>& p) { setValueNotifying("friend", m_friend, p); }

    Value valueForKey(const std::string& key) override
    {
        if (key == "name")
            return m_name;
        if (key == "first")
            return m_first;
        if (key == "last")
            return m_last;
        if (key == "fullName")
            return Value(m_first.stringValue() + " " + m_last.stringValue());
        if (key == "greeting")
            return Value("Hello " + valueForKey("fullName").string());
        if (key == "friend")
            return Value(m_friend);
        if (key == "ping" || key == "pong")
            return Value(1);
        return NSObject::valueForKey(key);
    }

    std::set<std::string> keyPathsForValuesAffectingValueForKey(const std::string& key) const override
    {
        if (key == "fullName")
            return { "first", "last" };
        if (key == "greeting")
            return { "fullName" };
        if (key == "ping")
            return { "pong" }; // a dependency cycle must not hang
        if (key == "pong")
            return { "ping" };
        return NSObject::keyPathsForValuesAffectingValueForKey(key);
    }

private:
    Value m_name;
    Value m_first;
    Value m_last;
    Ref<Person> m_friend;
};

// Records every notification as one line: "<keyPath> kind=1 new=.. old=.. prior".
class Recorder : public NSObject {
    VX_OBJECT(Recorder, NSObject)

public:
    using NSObject::NSObject;
    static Ref<Recorder> init() { return make<Recorder>(); }

    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override
    {
        std::string line = keyPath + " kind=" + change[NSKeyValueChangeKindKey].description();
        for (const char* key : { NSKeyValueChangeNewKey, NSKeyValueChangeOldKey }) {
            const Value& v = change[key];
            if (!v.isNil())
                line += std::string(" ") + key + "=" + (v.isNull() ? "null" : v.description());
        }
        if (change[NSKeyValueChangeNotificationIsPriorKey].boolValue())
            line += " prior";
        lines.push_back(line);
        objects.push_back(object.get());
        contexts.push_back(context);
        threads.push_back(std::this_thread::get_id());
        if (onChange)
            onChange(keyPath);
    }

    std::vector<std::string> lines;
    std::vector<const NSObject*> objects;
    std::vector<void*> contexts;
    std::vector<std::thread::id> threads;
    std::function<void(const std::string&)> onChange;
};

using Lines = std::vector<std::string>;

} // namespace

TEST(KeyValueObserving, OptionsShapeTheChangeDictionary)
{
    using O = NSObject::Options;
    struct Case {
        const char* name;
        uint32_t options;
        Value start;
        Lines expected;
    };
    const Case cases[] = {
        { "new", O::NSKeyValueObservingOptionNew, Value("a"), { "name kind=1 new=b" } },
        { "old", O::NSKeyValueObservingOptionOld, Value("a"), { "name kind=1 old=a" } },
        { "none", 0, Value("a"), { "name kind=1" } },
        { "new and old", O::NSKeyValueObservingOptionNew | O::NSKeyValueObservingOptionOld, Value("a"),
            { "name kind=1 new=b old=a" } },
        { "old nil is NSNull", O::NSKeyValueObservingOptionOld, Value(), { "name kind=1 old=null" } },
        { "initial with new", O::NSKeyValueObservingOptionInitial | O::NSKeyValueObservingOptionNew, Value("a"),
            { "name kind=1 new=a", "name kind=1 new=b" } },
        { "initial alone", O::NSKeyValueObservingOptionInitial, Value("a"), { "name kind=1", "name kind=1" } },
        { "prior with old and new",
            O::NSKeyValueObservingOptionPrior | O::NSKeyValueObservingOptionOld | O::NSKeyValueObservingOptionNew,
            Value("a"), { "name kind=1 old=a prior", "name kind=1 new=b old=a" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto person = Person::init();
        auto recorder = Recorder::init();
        person->setName(c.start);
        int context = 0;
        person->addObserver(recorder, "name", c.options, &context);
        person->setName(Value("b"));
        EXPECT_EQ(recorder->lines, c.expected);
        for (size_t i = 0; i < recorder->lines.size(); ++i) {
            EXPECT_EQ(recorder->objects[i], person.get());
            EXPECT_EQ(recorder->contexts[i], &context);
        }
        person->removeObserver(recorder, "name", &context);
        person->setName(Value("c"));
        EXPECT_EQ(recorder->lines.size(), c.expected.size()) << "no notification after removal";
    }
}

TEST(KeyValueObserving, NestedManualChangesNotifyInnermostFirst)
{
    // The order an operation uses to move between states: will new, will old, did old, did new.
    auto person = Person::init();
    auto recorder = Recorder::init();
    auto second = Recorder::init();
    uint32_t options = NSObject::NSKeyValueObservingOptionPrior;
    person->addObserver(recorder, "first", options, nullptr);
    person->addObserver(recorder, "last", options, nullptr);
    person->addObserver(second, "last", 0, nullptr);

    person->willChangeValueForKey("last");
    person->willChangeValueForKey("first");
    person->didChangeValueForKey("first");
    person->didChangeValueForKey("last");

    EXPECT_EQ(recorder->lines, (Lines { "last kind=1 prior", "first kind=1 prior", "first kind=1", "last kind=1" }));
    EXPECT_EQ(second->lines, (Lines { "last kind=1" }));

    // A did without its will is ignored rather than reported with a made-up old value.
    person->didChangeValueForKey("first");
    EXPECT_EQ(recorder->lines.size(), 4u);
}

TEST(KeyValueObserving, DependentKeysNotifyTheKeysThatDependOnThem)
{
    auto person = Person::init();
    person->setFirst(Value("Ada"));
    person->setLast(Value("King"));
    auto recorder = Recorder::init();
    uint32_t options = NSObject::NSKeyValueObservingOptionNew | NSObject::NSKeyValueObservingOptionOld;
    person->addObserver(recorder, "fullName", options, nullptr);
    person->addObserver(recorder, "greeting", NSObject::NSKeyValueObservingOptionNew, nullptr);
    person->addObserver(recorder, "ping", 0, nullptr);

    person->setLast(Value("Lovelace"));
    EXPECT_EQ(recorder->lines,
        (Lines { "fullName kind=1 new=Ada Lovelace old=Ada King", "greeting kind=1 new=Hello Ada Lovelace" }));

    recorder->lines.clear();
    person->willChangeValueForKey("pong");
    person->didChangeValueForKey("pong");
    EXPECT_EQ(recorder->lines, (Lines { "ping kind=1" }));
}

TEST(KeyValueObserving, KeyPathFollowsTheInnerObject)
{
    auto root = Person::init();
    auto first = Person::init();
    auto second = Person::init();
    first->setName(Value("one"));
    second->setName(Value("two"));
    root->setFriend(first);

    auto recorder = Recorder::init();
    uint32_t options = NSObject::NSKeyValueObservingOptionNew | NSObject::NSKeyValueObservingOptionOld;
    root->addObserver(recorder, "friend.name", options, nullptr);

    first->setName(Value("uno"));
    root->setFriend(second);
    first->setName(Value("ignored: no longer on the path"));
    second->setName(Value("dos"));
    root->setFriend(nullptr);
    second->setName(Value("ignored too"));

    EXPECT_EQ(recorder->lines,
        (Lines { "friend.name kind=1 new=uno old=one", "friend.name kind=1 new=two old=uno",
            "friend.name kind=1 new=dos old=two", "friend.name kind=1 new=null old=dos" }));
    for (auto* object : recorder->objects)
        EXPECT_EQ(object, root.get());
}

TEST(KeyValueObserving, SelfObservationAndDestroyedParticipants)
{
    struct Case {
        const char* name;
        std::function<void(Ref<Person>&, Ref<Recorder>&)> scenario;
    };
    const Case cases[] = {
        { "observer destroyed without removing itself",
            [](Ref<Person>& person, Ref<Recorder>& recorder) {
                person->addObserver(recorder, "name", NSObject::NSKeyValueObservingOptionNew, nullptr);
                recorder.reset();
                person->setName(Value("after"));
                EXPECT_FALSE(person->hasObservers());
            } },
        { "observed object destroyed first",
            [](Ref<Person>& person, Ref<Recorder>& recorder) {
                person->addObserver(recorder, "name", NSObject::NSKeyValueObservingOptionNew, nullptr);
                person.reset();
                recorder.reset();
            } },
        { "object observing itself",
            [](Ref<Person>& person, Ref<Recorder>&) {
                auto self = Recorder::init();
                self->addObserver(self, "self", NSObject::NSKeyValueObservingOptionNew, nullptr);
                self->willChangeValueForKey("self");
                self->didChangeValueForKey("self");
                EXPECT_EQ(self->lines.size(), 1u);
                EXPECT_EQ(self->objects[0], self.get());
                person.reset();
            } },
        { "inner object of a key path destroyed",
            [](Ref<Person>& person, Ref<Recorder>& recorder) {
                auto inner = Person::init();
                person->setFriend(inner);
                person->addObserver(recorder, "friend.name", NSObject::NSKeyValueObservingOptionNew, nullptr);
                inner.reset();
                person->setFriend(nullptr); // the last reference to the inner object goes here
                person->setFriend(Person::init());
                person->valueForKey("friend").objectAs<Person>()->setName(Value("new friend"));
                EXPECT_EQ(recorder->lines.back(), "friend.name kind=1 new=new friend");
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto person = Person::init();
        auto recorder = Recorder::init();
        c.scenario(person, recorder);
    }
}

TEST(KeyValueObserving, RemovingAnUnregisteredObserverRaisesRangeException)
{
    auto person = Person::init();
    auto recorder = Recorder::init();
    int context = 0;
    person->addObserver(recorder, "name", 0, &context);

    struct Case {
        const char* name;
        std::function<void()> remove;
    };
    const Case cases[] = {
        { "other key path", [&] { person->removeObserver(recorder, "first"); } },
        { "other context", [&] { person->removeObserver(recorder, "name", nullptr); } },
        { "other observer", [&] { person->removeObserver(Recorder::init(), "name"); } },
        { "second removal",
            [&] {
                person->removeObserver(recorder, "name", &context);
                person->removeObserver(recorder, "name", &context);
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.remove();
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.name(), "NSRangeException");
            EXPECT_EQ(e.reason().rfind("Cannot remove an observer <Recorder 0x", 0), 0u) << e.reason();
            EXPECT_NE(e.reason().find("for the key path \""), std::string::npos);
            EXPECT_NE(e.reason().find("from <Person 0x"), std::string::npos);
            EXPECT_TRUE(e.reason().ends_with("because it is not registered as an observer.")) << e.reason();
        }
    }
    EXPECT_FALSE(person->hasObservers());
}

TEST(KeyValueObserving, ObserverMayChangeAndUnregisterDuringANotification)
{
    auto person = Person::init();
    auto recorder = Recorder::init();
    Weak<Recorder> weakRecorder = recorder;
    recorder->onChange = [&](const std::string& keyPath) {
        if (keyPath == "name") {
            person->setFirst(Value("nested")); // re-enters the registry with no lock held
            person->removeObserver(weakRecorder.lock(), "name");
        }
    };
    person->addObserver(recorder, "name", NSObject::NSKeyValueObservingOptionNew, nullptr);
    person->addObserver(recorder, "first", NSObject::NSKeyValueObservingOptionNew, nullptr);
    person->setName(Value("x"));
    person->setName(Value("y"));
    EXPECT_EQ(recorder->lines, (Lines { "name kind=1 new=x", "first kind=1 new=nested" }));
}

TEST(KeyValueObserving, NotifiesOnTheChangingThreadWhileOthersRegister)
{
    constexpr int kThreads = 4;
    constexpr int kChanges = 200;
    std::vector<Ref<Person>> people;
    std::vector<Ref<Recorder>> recorders;
    for (int i = 0; i < kThreads; ++i) {
        people.push_back(Person::init());
        recorders.push_back(Recorder::init());
    }
    std::vector<std::thread::id> ids(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            ids[i] = std::this_thread::get_id();
            for (int n = 0; n < kChanges; ++n) {
                // Every thread also touches a shared object, registering and removing.
                auto transient = Recorder::init();
                people[0]->addObserver(transient, "last", 0, nullptr);
                people[i]->addObserver(recorders[i], "name", NSObject::NSKeyValueObservingOptionNew, nullptr);
                people[i]->setName(Value(n));
                people[i]->removeObserver(recorders[i], "name");
                people[0]->removeObserver(transient, "last");
            }
        });
    }
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < kThreads; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(recorders[i]->lines.size(), size_t(kChanges));
        EXPECT_EQ(recorders[i]->lines.back(), "name kind=1 new=" + std::to_string(kChanges - 1));
        for (auto id : recorders[i]->threads)
            EXPECT_EQ(id, ids[i]);
        EXPECT_FALSE(people[i]->hasObservers());
    }
}
