#include "foundation/NSUserDefaults.h"

#include "foundation/NSBundle.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSException.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSProcessInfo.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/NSString.h"
#include "foundation/Sandbox.h"

#include <map>

namespace {

std::mutex s_lock;
Ref<NSUserDefaults> s_standard;
// One instance per suite, so two parts of the program never hold diverging copies of a file.
std::map<std::string, Ref<NSUserDefaults>> s_suites;
NSUserDefaults::ChangeHook s_changeHook;

std::string standardDomainName()
{
    if (auto identifier = NSBundle::mainBundle()->bundleIdentifier(); identifier && !identifier->empty())
        return *identifier;
    return NSProcessInfo::processInfo()->processName();
}

// An immutable copy all the way down, so later changes to the caller's containers do not reach
// the stored value.
Value frozenCopy(const Value& value)
{
    if (value.isArray()) {
        std::vector<Value> elements;
        elements.reserve(value.count());
        for (const Value& element : value.elements())
            elements.push_back(frozenCopy(element));
        return Value::array(std::move(elements));
    }
    if (value.isDictionary()) {
        std::vector<std::pair<Value, Value>> entries;
        entries.reserve(value.count());
        for (const auto& [key, element] : value.entries())
            entries.emplace_back(key, frozenCopy(element));
        return Value::dictionary(std::move(entries));
    }
    return value;
}

} // namespace

NSUserDefaults::NSUserDefaults(Passkey key, std::string domainName)
    : NSObject(key)
    , m_domainName(std::move(domainName))
    , m_persistent(Value::mutableDictionary())
    , m_registration(Value::mutableDictionary())
{
}

Ref<NSUserDefaults> NSUserDefaults::standardUserDefaults()
{
    std::lock_guard lock(s_lock);
    if (!s_standard)
        s_standard = make<NSUserDefaults>(standardDomainName());
    return s_standard;
}

void NSUserDefaults::resetStandardUserDefaults()
{
    std::lock_guard lock(s_lock);
    s_standard = nullptr;
    s_suites.clear();
}

Ref<NSUserDefaults> NSUserDefaults::initWithSuiteName(const std::string& suiteName)
{
    // A name that is not a plain file name would write outside the preferences folder.
    if (suiteName.empty() || suiteName.find('/') != std::string::npos || suiteName == "." || suiteName == "..")
        return standardUserDefaults();
    std::string standardName = standardDomainName();
    if (suiteName == standardName)
        return standardUserDefaults();
    std::lock_guard lock(s_lock);
    auto& suite = s_suites[suiteName];
    if (!suite)
        suite = make<NSUserDefaults>(suiteName);
    return suite;
}

void NSUserDefaults::setChangeHook(ChangeHook hook)
{
    std::lock_guard lock(s_lock);
    s_changeHook = std::move(hook);
}

std::string NSUserDefaults::persistentDomainPath() const
{
    return Sandbox::root() + "/Library/Preferences/" + m_domainName + ".plist";
}

void NSUserDefaults::loadIfNeeded() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    Value data = NSData::dataWithContentsOfFile(persistentDomainPath());
    if (data.isNil())
        return;
    Value stored = NSPropertyListSerialization::propertyListWithData(
        data, NSPropertyListSerialization::NSPropertyListImmutable, nullptr, nullptr);
    if (!stored.isDictionary())
        return; // an unreadable file counts as empty; it is replaced at the next synchronize
    for (const auto& [key, value] : stored.entries()) {
        if (key.isString())
            m_persistent.setObjectForKey(value, key);
    }
}

Value NSUserDefaults::objectForKey(const std::string& key) const
{
    std::lock_guard lock(m_lock);
    loadIfNeeded();
    Value value = m_persistent[key];
    if (value.isNil())
        value = m_registration[key];
    return value;
}

void NSUserDefaults::setObjectForKey(const Value& value, const std::string& key)
{
    if (value.isNil()) {
        removeObjectForKey(key);
        return;
    }
    if (!NSPropertyListSerialization::propertyListIsValidForFormat(
            value, NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0)) {
        NSException::raise(NSInvalidArgumentException,
            NSString::stringWithFormat("Attempt to insert non-property list object %@ for key %@", value, key));
    }
    {
        std::lock_guard lock(m_lock);
        loadIfNeeded();
        m_persistent.setObjectForKey(frozenCopy(value), Value(key));
        m_dirty = true;
    }
    changed();
}

void NSUserDefaults::removeObjectForKey(const std::string& key)
{
    {
        std::lock_guard lock(m_lock);
        loadIfNeeded();
        if (m_persistent[key].isNil())
            return;
        m_persistent.removeObjectForKey(Value(key));
        m_dirty = true;
    }
    changed();
}

void NSUserDefaults::changed()
{
    ChangeHook hook;
    {
        std::lock_guard lock(s_lock);
        hook = s_changeHook;
    }
    auto self = this->self<NSUserDefaults>();
    if (hook)
        hook(self);
    NSNotificationCenter::defaultCenter()->postNotificationName(NSUserDefaultsDidChangeNotification, self);
}

NSInteger NSUserDefaults::integerForKey(const std::string& key) const
{
    return objectForKey(key).intValue();
}

bool NSUserDefaults::boolForKey(const std::string& key) const
{
    return objectForKey(key).boolValue();
}

double NSUserDefaults::doubleForKey(const std::string& key) const
{
    return objectForKey(key).doubleValue();
}

float NSUserDefaults::floatForKey(const std::string& key) const
{
    return objectForKey(key).floatValue();
}

Value NSUserDefaults::stringForKey(const std::string& key) const
{
    Value value = objectForKey(key);
    if (value.isString())
        return value;
    if (value.isNumber())
        return Value(value.stringValue());
    return {};
}

Value NSUserDefaults::arrayForKey(const std::string& key) const
{
    Value value = objectForKey(key);
    return value.isArray() ? value : Value();
}

Value NSUserDefaults::dictionaryForKey(const std::string& key) const
{
    Value value = objectForKey(key);
    return value.isDictionary() ? value : Value();
}

Value NSUserDefaults::dataForKey(const std::string& key) const
{
    Value value = objectForKey(key);
    return value.isData() ? value : Value();
}

void NSUserDefaults::registerDefaults(const Value& dictionary)
{
    if (!dictionary.isDictionary())
        return;
    std::lock_guard lock(m_lock);
    for (const auto& [key, value] : dictionary.entries()) {
        if (key.isString() && !value.isNil())
            m_registration.setObjectForKey(frozenCopy(value), key);
    }
}

Value NSUserDefaults::dictionaryRepresentation() const
{
    std::lock_guard lock(m_lock);
    loadIfNeeded();
    Value merged = m_registration.mutableCopy();
    for (const auto& [key, value] : m_persistent.entries())
        merged.setObjectForKey(value, key);
    return merged.copy();
}

bool NSUserDefaults::synchronize()
{
    std::lock_guard lock(m_lock);
    loadIfNeeded();
    if (!m_dirty)
        return true;
    Value data = NSPropertyListSerialization::dataWithPropertyList(
        m_persistent, NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0, 0, nullptr);
    if (data.isNil() || !NSData::writeToFile(data, persistentDomainPath(), true))
        return false;
    m_dirty = false;
    return true;
}

VX_REGISTER_CLASS(NSUserDefaults);
