#include "foundation/NSKeyedArchiver.h"

#include "foundation/NSCoding.h"
#include "foundation/NSError.h"
#include "foundation/NSObject.h"
#include "foundation/NSOrderedSet.h"

#include <plist/plist.h>

#include <string>
#include <unordered_map>
#include <vector>

// Seconds between 1970-01-01 and the archive's date epoch, 2001-01-01.
static constexpr double kEpoch2001 = 978307200.0;

struct NSKeyedArchiver::State {
    plist_t objects { plist_new_array() };
    plist_t top { plist_new_dict() };
    std::vector<plist_t> scopes;
    std::unordered_map<const void*, uint64_t> storageUIDs;
    std::unordered_map<std::string, uint64_t> stringUIDs;
    std::unordered_map<std::string, uint64_t> classUIDs;
    uint64_t nullUID { 0 };
    std::vector<Value> keepAlive; // uniqued by address, so the addresses must stay taken
    bool finished { false };
    Value data;

    State()
    {
        plist_array_append_item(objects, plist_new_string("$null"));
        scopes.push_back(top);
    }

    ~State()
    {
        if (objects)
            plist_free(objects);
        if (top)
            plist_free(top);
    }

    uint64_t append(plist_t node)
    {
        plist_array_append_item(objects, node);
        return plist_array_get_size(objects) - 1;
    }

    uint64_t reserve() { return append(plist_new_bool(0)); }

    void fill(uint64_t uid, plist_t node) { plist_array_set_item(objects, node, static_cast<uint32_t>(uid)); }
};

namespace {

// Keys beginning with "$" are the archive's own; a coder's such key is stored with one more.
std::string storedKey(std::string_view key)
{
    if (!key.empty() && key[0] == '$')
        return "$" + std::string(key);
    return std::string(key);
}

Ref<NSError> archiveError(const std::string& description)
{
    return NSError::errorWithDomain(NSCocoaErrorDomain, NSCoderInvalidValueError,
        Value::dictionary({ { Value(NSDebugDescriptionErrorKey), Value(description) } }));
}

} // namespace

NSKeyedArchiver::NSKeyedArchiver()
    : m_state(std::make_unique<State>())
{
}

NSKeyedArchiver::~NSKeyedArchiver() = default;

namespace {

class Encoder {
public:
    Encoder(NSKeyedArchiver& archiver, NSKeyedArchiver::State& state)
        : m_archiver(archiver)
        , m_state(state)
    {
    }

    uint64_t classUID(Class cls)
    {
        auto it = m_state.classUIDs.find(cls->name);
        if (it != m_state.classUIDs.end())
            return it->second;
        plist_t dict = plist_new_dict();
        plist_t chain = plist_new_array();
        for (Class c = cls; c; c = c->superclass)
            plist_array_append_item(chain, plist_new_string(c->name));
        plist_dict_set_item(dict, "$classes", chain);
        plist_dict_set_item(dict, "$classname", plist_new_string(cls->name));
        uint64_t uid = m_state.append(dict);
        m_state.classUIDs.emplace(cls->name, uid);
        return uid;
    }

    // Answers the UID of `v` in "$objects", writing it when it is not there yet.
    uint64_t encode(const Value& v)
    {
        switch (v.kind()) {
        case Value::Kind::Nil:
            return 0;
        case Value::Kind::Null: {
            if (!m_state.nullUID) {
                plist_t dict = plist_new_dict();
                m_state.nullUID = m_state.append(dict);
                plist_dict_set_item(dict, "$class", plist_new_uid(classUID(Value::nullClass())));
            }
            return m_state.nullUID;
        }
        case Value::Kind::Bool:
            return m_state.append(plist_new_bool(v.boolValue()));
        case Value::Kind::Int:
        case Value::Kind::LongLong:
            return m_state.append(plist_new_uint(v.unsignedLongLongValue()));
        case Value::Kind::Float:
        case Value::Kind::Double:
            return m_state.append(plist_new_real(v.doubleValue()));
        case Value::Kind::String: {
            // The archive's strings end at a NUL character: such a string would come back cut.
            if (v.string().find('\0') != std::string::npos) {
                m_archiver.failWithError(archiveError("cannot archive a string with a NUL character"));
                return 0;
            }
            auto it = m_state.stringUIDs.find(v.string());
            if (it != m_state.stringUIDs.end())
                return it->second;
            uint64_t uid = m_state.append(plist_new_string(v.string().c_str()));
            m_state.stringUIDs.emplace(v.string(), uid);
            return uid;
        }
        case Value::Kind::Data: {
            const auto& b = v.bytes();
            return m_state.append(plist_new_data(reinterpret_cast<const char*>(b.data()), b.size()));
        }
        case Value::Kind::Date: {
            plist_t dict = plist_new_dict();
            uint64_t uid = m_state.append(dict);
            plist_dict_set_item(dict, "NS.time", plist_new_real(v.dateValue() - kEpoch2001));
            plist_dict_set_item(dict, "$class", plist_new_uid(classUID(Value::dateClass())));
            return uid;
        }
        case Value::Kind::Array:
        case Value::Kind::Dictionary:
        case Value::Kind::Object:
            return encodeShared(v);
        case Value::Kind::Class:
            break;
        }
        m_archiver.failWithError(archiveError(std::string("cannot archive a value of kind ") + v.kindName()));
        return 0;
    }

private:
    uint64_t encodeShared(const Value& v)
    {
        const void* address = v.isObject() ? static_cast<const void*>(v.objectValue().get()) : identity(v);
        auto it = m_state.storageUIDs.find(address);
        if (it != m_state.storageUIDs.end())
            return it->second;
        NSCoding* coding = nullptr;
        const NSOrderedSet* orderedSet = nullptr;
        if (v.isObject()) {
            orderedSet = dynamic_cast<const NSOrderedSet*>(v.objectValue().get());
            coding = dynamic_cast<NSCoding*>(v.objectValue().get());
            if (!coding && !orderedSet) {
                m_archiver.failWithError(archiveError(
                    "-[" + v.objectValue()->className() + " encodeWithCoder:]: the object does not support archiving"));
                return 0;
            }
        }
        // The UID is taken before the contents are written, so cycles refer back to it.
        uint64_t uid = m_state.reserve();
        m_state.storageUIDs.emplace(address, uid);
        m_state.keepAlive.push_back(v);
        plist_t dict = plist_new_dict();
        m_state.fill(uid, dict);
        if (v.isArray() || orderedSet) {
            plist_t list = plist_new_array();
            plist_dict_set_item(dict, "NS.objects", list);
            for (const auto& element : orderedSet ? orderedSet->elements() : v.elements())
                plist_array_append_item(list, plist_new_uid(encode(element)));
        } else if (v.isDictionary()) {
            plist_t keys = plist_new_array();
            plist_t values = plist_new_array();
            plist_dict_set_item(dict, "NS.keys", keys);
            plist_dict_set_item(dict, "NS.objects", values);
            for (const auto& [key, object] : v.entries()) {
                plist_array_append_item(keys, plist_new_uid(encode(key)));
                plist_array_append_item(values, plist_new_uid(encode(object)));
            }
        } else {
            size_t scopes = m_state.scopes.size();
            m_state.scopes.push_back(dict);
            try {
                coding->encodeWithCoder(m_archiver);
            } catch (const std::exception& e) {
                m_archiver.failWithError(archiveError(std::string("exception while archiving: ") + e.what()));
            } catch (...) {
                m_archiver.failWithError(archiveError("exception while archiving"));
            }
            m_state.scopes.resize(scopes);
        }
        plist_dict_set_item(dict, "$class", plist_new_uid(classUID(v.valueClass())));
        return uid;
    }

    static const void* identity(const Value& v)
    {
        // Containers share storage on copy; the element vector's address names the storage.
        return v.isArray() ? static_cast<const void*>(&v.elements()) : static_cast<const void*>(&v.entries());
    }

    NSKeyedArchiver& m_archiver;
    NSKeyedArchiver::State& m_state;
};

} // namespace

void NSKeyedArchiver::encodeObjectForKey(const Value& object, std::string_view key)
{
    if (m_state->finished)
        return;
    Encoder encoder(*this, *m_state);
    uint64_t uid = encoder.encode(object);
    plist_dict_set_item(m_state->scopes.back(), storedKey(key).c_str(), plist_new_uid(uid));
}

void NSKeyedArchiver::encodeBoolForKey(bool value, std::string_view key)
{
    if (!m_state->finished)
        plist_dict_set_item(m_state->scopes.back(), storedKey(key).c_str(), plist_new_bool(value));
}

void NSKeyedArchiver::encodeIntForKey(int32_t value, std::string_view key)
{
    encodeInt64ForKey(value, key);
}
void NSKeyedArchiver::encodeInt32ForKey(int32_t value, std::string_view key)
{
    encodeInt64ForKey(value, key);
}

void NSKeyedArchiver::encodeInt64ForKey(int64_t value, std::string_view key)
{
    if (!m_state->finished)
        plist_dict_set_item(
            m_state->scopes.back(), storedKey(key).c_str(), plist_new_uint(static_cast<uint64_t>(value)));
}

void NSKeyedArchiver::encodeFloatForKey(float value, std::string_view key)
{
    encodeDoubleForKey(value, key);
}

void NSKeyedArchiver::encodeDoubleForKey(double value, std::string_view key)
{
    if (!m_state->finished)
        plist_dict_set_item(m_state->scopes.back(), storedKey(key).c_str(), plist_new_real(value));
}

void NSKeyedArchiver::finishEncoding()
{
    if (m_state->finished)
        return;
    m_state->finished = true;
    if (error())
        return;
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "$version", plist_new_uint(100000));
    plist_dict_set_item(root, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(root, "$top", m_state->top);
    plist_dict_set_item(root, "$objects", m_state->objects);
    m_state->top = nullptr;
    m_state->objects = nullptr;
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    plist_free(root);
    if (!bytes) {
        failWithError(archiveError("the archive could not be written"));
        return;
    }
    m_state->data = Value::data(bytes, length);
    plist_to_bin_free(bytes);
}

Value NSKeyedArchiver::encodedData()
{
    finishEncoding();
    return error() ? Value() : m_state->data;
}

Value NSKeyedArchiver::archivedDataWithRootObject(const Value& root, Ref<NSError>* error)
{
    NSKeyedArchiver archiver;
    archiver.encodeObjectForKey(root, "root");
    Value data = archiver.encodedData();
    if (error && archiver.error())
        *error = archiver.error();
    return data;
}
