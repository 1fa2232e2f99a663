#include "foundation/NSKeyedUnarchiver.h"

#include "foundation/NSCoding.h"
#include "foundation/NSError.h"
#include "foundation/NSIndexSet.h"
#include "foundation/NSObject.h"
#include "foundation/NSOrderedSet.h"

#include <plist/plist.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

// Seconds between 1970-01-01 and the archive's date epoch, 2001-01-01.
static constexpr double kEpoch2001 = 978307200.0;
// Object graphs deeper than this are refused rather than risk the stack.
static constexpr size_t kMaximumDepth = 512;

struct NSKeyedUnarchiver::State {
    plist_t root { nullptr };
    plist_t objects { nullptr };
    std::vector<plist_t> scopes;
    std::unordered_map<uint64_t, Value> decoded;
    std::unordered_set<uint64_t> inProgress;
    // Allowed classes of the innermost decodeObjectOf... call. Without secure coding an
    // object's own decoding starts unrestricted (`any`) again.
    struct Allowed {
        bool any;
        std::vector<Class> classes;
    };
    std::vector<Allowed> allowed;
    bool secure { false };

    ~State()
    {
        if (root)
            plist_free(root);
    }
};

namespace {

Ref<NSError> corruptError(const std::string& description)
{
    return NSError::errorWithDomain(NSCocoaErrorDomain, NSCoderReadCorruptError,
        Value::dictionary({ { Value(NSLocalizedDescriptionKey),
                                Value("The data couldn\u2019t be read because it isn\u2019t in the correct format.") },
            { Value(NSDebugDescriptionErrorKey), Value(description) } }));
}

std::string storedKey(std::string_view key)
{
    if (!key.empty() && key[0] == '$')
        return "$" + std::string(key);
    return std::string(key);
}

std::optional<std::string> stringOf(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    uint64_t length = 0;
    const char* p = plist_get_string_ptr(node, &length);
    if (!p)
        return std::nullopt;
    return std::string(p, length);
}

// A reference: a UID in binary archives, a dictionary holding only "CF$UID" in XML ones.
std::optional<uint64_t> uidOf(plist_t node)
{
    if (!node)
        return std::nullopt;
    uint64_t uid = 0;
    if (plist_get_node_type(node) == PLIST_UID) {
        plist_get_uid_val(node, &uid);
        return uid;
    }
    if (plist_get_node_type(node) != PLIST_DICT || plist_dict_get_size(node) != 1)
        return std::nullopt;
    plist_t value = plist_dict_get_item(node, "CF$UID");
    if (!value || plist_get_node_type(value) != PLIST_UINT)
        return std::nullopt;
    plist_get_uint_val(value, &uid);
    return uid;
}

// Integers in the archive are 64-bit two's complement.
Value integerValue(plist_t node)
{
    uint64_t raw = 0;
    plist_get_uint_val(node, &raw);
    auto v = static_cast<int64_t>(raw);
    if (v >= INT32_MIN && v <= INT32_MAX)
        return Value(static_cast<int32_t>(v));
    return Value(v);
}

std::string classList(const std::vector<Class>& classes)
{
    std::string out;
    for (Class c : classes) {
        if (!out.empty())
            out += ", ";
        out += c ? c->name : "nil";
    }
    return out;
}

} // namespace

// The foundation's own coding classes are registered here as well as beside their classes: a
// program that reads archives then decodes them even if it never names them (the linker drops
// object files of a static library that nothing references).
VX_REGISTER_CODING_CLASS(NSError);
VX_REGISTER_CODING_CLASS(NSIndexSet);
VX_REGISTER_CODING_CLASS(NSMutableIndexSet);

NSKeyedUnarchiver::NSKeyedUnarchiver(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

NSKeyedUnarchiver::~NSKeyedUnarchiver() = default;

Ref<NSKeyedUnarchiver> NSKeyedUnarchiver::initForReadingWithData(const Value::Bytes& data, Ref<NSError>* error)
{
    auto fail = [&](const std::string& why) -> Ref<NSKeyedUnarchiver> {
        if (error)
            *error = corruptError(why);
        return nullptr;
    };
    if (data.empty() || data.size() > UINT32_MAX)
        return fail("the data is not a keyed archive (empty or too large)");
    auto state = std::make_unique<State>();
    plist_from_memory(reinterpret_cast<const char*>(data.data()), static_cast<uint32_t>(data.size()), &state->root);
    if (!state->root || plist_get_node_type(state->root) != PLIST_DICT)
        return fail("the data is not a property list holding a dictionary");
    auto archiver = stringOf(plist_dict_get_item(state->root, "$archiver"));
    if (archiver && *archiver != "NSKeyedArchiver")
        return fail("unknown archiver " + *archiver);
    plist_t top = plist_dict_get_item(state->root, "$top");
    state->objects = plist_dict_get_item(state->root, "$objects");
    if (!top || plist_get_node_type(top) != PLIST_DICT || !state->objects
        || plist_get_node_type(state->objects) != PLIST_ARRAY || plist_array_get_size(state->objects) == 0)
        return fail("the property list is not a keyed archive (no $top or $objects)");
    state->scopes.push_back(top);
    return std::make_shared<NSKeyedUnarchiver>(std::move(state));
}

void NSKeyedUnarchiver::setRequiresSecureCoding(bool required)
{
    m_state->secure = required;
}
bool NSKeyedUnarchiver::requiresSecureCoding() const
{
    return m_state->secure;
}

namespace {

class Decoder {
public:
    Decoder(NSKeyedUnarchiver& coder, NSKeyedUnarchiver::State& state)
        : m_coder(coder)
        , m_state(state)
    {
    }

    Value fail(const std::string& why)
    {
        m_coder.failWithError(corruptError(why));
        return {};
    }

    // Checks `cls` against the classes allowed where secure coding applies.
    bool admit(Class cls, const std::string& className, std::string_view key)
    {
        if (m_state.allowed.empty() || m_state.allowed.back().any) {
            if (!m_state.secure || !m_state.allowed.empty())
                return true;
            fail("value for key '" + std::string(key) + "' was decoded without a list of allowed classes");
            return false;
        }
        const auto& classes = m_state.allowed.back().classes;
        if (cls) {
            for (Class allowed : classes) {
                if (allowed && NSObject::classIsSubclassOf(cls, allowed))
                    return true;
            }
        }
        fail("value for key '" + std::string(key) + "' was of unexpected class '" + className
            + "'. Allowed classes are '{(" + classList(classes) + ")}'.");
        return false;
    }

    Value decodeUID(uint64_t uid, std::string_view key)
    {
        if (m_coder.error())
            return {};
        if (uid == 0)
            return {};
        if (uid >= plist_array_get_size(m_state.objects))
            return fail("reference " + std::to_string(uid) + " is beyond the archive's objects");
        auto cached = m_state.decoded.find(uid);
        if (cached != m_state.decoded.end()) {
            if (!admit(cached->second.valueClass(), cached->second.kindName(), key))
                return {};
            return cached->second;
        }
        if (m_state.inProgress.count(uid))
            return fail("object " + std::to_string(uid) + " refers to itself while being decoded");
        if (m_state.inProgress.size() >= kMaximumDepth)
            return fail("the archive's objects are nested too deeply");
        m_state.inProgress.insert(uid);
        Value v = decodeNode(plist_array_get_item(m_state.objects, static_cast<uint32_t>(uid)), key);
        m_state.inProgress.erase(uid);
        if (m_coder.error())
            return {};
        m_state.decoded.emplace(uid, v);
        return v;
    }

private:
    Value decodeNode(plist_t node, std::string_view key)
    {
        switch (plist_get_node_type(node)) {
        case PLIST_STRING: {
            std::string text = *stringOf(node);
            // Nothing archives a NUL character, and the user defaults could not keep one.
            if (text.find('\0') != std::string::npos)
                return fail("string with a NUL character");
            return admit(Value::stringClass(), "NSString", key) ? Value(std::move(text)) : Value();
        }
        case PLIST_UINT:
            return admit(Value::numberClass(), "NSNumber", key) ? integerValue(node) : Value();
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            return admit(Value::numberClass(), "NSNumber", key) ? Value(d) : Value();
        }
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return admit(Value::numberClass(), "NSNumber", key) ? Value(b != 0) : Value();
        }
        case PLIST_DATA: {
            uint64_t length = 0;
            const char* p = plist_get_data_ptr(node, &length);
            return admit(Value::dataClass(), "NSData", key) ? Value::data(p, p ? length : 0) : Value();
        }
        case PLIST_DICT:
            return decodeObject(node, key);
        default:
            return fail("object of an unexpected property-list type");
        }
    }

    std::optional<std::vector<uint64_t>> uidList(plist_t dict, const char* name)
    {
        plist_t list = plist_dict_get_item(dict, name);
        if (!list || plist_get_node_type(list) != PLIST_ARRAY)
            return std::nullopt;
        std::vector<uint64_t> uids;
        uint32_t count = plist_array_get_size(list);
        uids.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            auto uid = uidOf(plist_array_get_item(list, i));
            if (!uid)
                return std::nullopt;
            uids.push_back(*uid);
        }
        return uids;
    }

    // Decodes the element UIDs of a container; nil elements are corrupt.
    std::optional<std::vector<Value>> elements(const std::vector<uint64_t>& uids, std::string_view key)
    {
        std::vector<Value> out;
        out.reserve(uids.size());
        for (uint64_t uid : uids) {
            Value v = decodeUID(uid, key);
            if (v.isNil()) {
                if (!m_coder.error())
                    fail("a collection in the archive holds nil");
                return std::nullopt;
            }
            out.push_back(std::move(v));
        }
        return out;
    }

    Value decodeObject(plist_t dict, std::string_view key)
    {
        auto classUID = uidOf(plist_dict_get_item(dict, "$class"));
        if (!classUID || *classUID >= plist_array_get_size(m_state.objects))
            return fail("object without a valid $class");
        plist_t classDict = plist_array_get_item(m_state.objects, static_cast<uint32_t>(*classUID));
        auto className = classDict && plist_get_node_type(classDict) == PLIST_DICT
            ? stringOf(plist_dict_get_item(classDict, "$classname"))
            : std::nullopt;
        if (!className)
            return fail("class entry without a $classname");
        const std::string& name = *className;
        Class cls = NSClassFromString(name);
        if (!admit(cls, name, key))
            return {};

        if (name == "NSArray" || name == "NSMutableArray" || name == "NSSet" || name == "NSMutableSet") {
            auto uids = uidList(dict, "NS.objects");
            if (!uids)
                return fail(name + " without a valid NS.objects list");
            auto items = elements(*uids, key);
            if (!items)
                return {};
            return name == "NSMutableArray" || name == "NSMutableSet" ? Value::mutableArray(std::move(*items))
                                                                      : Value::array(std::move(*items));
        }
        if (name == "NSOrderedSet" || name == "NSMutableOrderedSet") {
            auto uids = uidList(dict, "NS.objects");
            if (!uids)
                return fail(name + " without a valid NS.objects list");
            auto items = elements(*uids, key);
            if (!items)
                return {};
            if (name == "NSMutableOrderedSet")
                return Value(NSMutableOrderedSet::orderedSetWithArray(*items));
            return Value(NSOrderedSet::orderedSetWithArray(*items));
        }
        if (name == "NSDictionary" || name == "NSMutableDictionary") {
            auto keyUIDs = uidList(dict, "NS.keys");
            auto objectUIDs = uidList(dict, "NS.objects");
            if (!keyUIDs || !objectUIDs || keyUIDs->size() != objectUIDs->size())
                return fail(name + " without matching NS.keys and NS.objects lists");
            auto keys = elements(*keyUIDs, key);
            if (!keys)
                return {};
            auto objects = elements(*objectUIDs, key);
            if (!objects)
                return {};
            std::vector<std::pair<Value, Value>> entries;
            entries.reserve(keys->size());
            for (size_t i = 0; i < keys->size(); ++i)
                entries.emplace_back((*keys)[i], (*objects)[i]);
            return name == "NSMutableDictionary" ? Value::mutableDictionary(std::move(entries))
                                                 : Value::dictionary(std::move(entries));
        }
        if (name == "NSDate") {
            plist_t time = plist_dict_get_item(dict, "NS.time");
            if (!time || plist_get_node_type(time) != PLIST_REAL)
                return fail("NSDate without NS.time");
            double t = 0;
            plist_get_real_val(time, &t);
            return Value::date(t + kEpoch2001);
        }
        if (name == "NSNull")
            return Value::null();
        if (name == "NSString" || name == "NSMutableString") {
            auto s = stringOf(plist_dict_get_item(dict, "NS.string"));
            return s ? Value(std::move(*s)) : fail(name + " without NS.string");
        }
        if (name == "NSData" || name == "NSMutableData") {
            plist_t bytes = plist_dict_get_item(dict, "NS.data");
            if (!bytes || plist_get_node_type(bytes) != PLIST_DATA)
                return fail(name + " without NS.data");
            uint64_t length = 0;
            const char* p = plist_get_data_ptr(bytes, &length);
            return Value::data(p, p ? length : 0);
        }

        NSCodingFactory factory = codingFactoryForClassName(name);
        if (!factory)
            return fail("cannot decode object of class (" + name + ")");
        // An exception can leave nested scopes behind; the stacks go back to these sizes.
        size_t scopes = m_state.scopes.size();
        size_t allowed = m_state.allowed.size();
        m_state.scopes.push_back(dict);
        if (!m_state.secure)
            m_state.allowed.push_back({ true, {} });
        Ref<NSObject> object;
        try {
            object = factory(m_coder);
        } catch (const std::exception& e) {
            fail("exception while decoding an object of class (" + name + "): " + e.what());
        } catch (...) {
            fail("exception while decoding an object of class (" + name + ")");
        }
        m_state.scopes.resize(scopes);
        m_state.allowed.resize(allowed);
        if (m_coder.error())
            return {};
        return Value::object(std::move(object));
    }

    NSKeyedUnarchiver& m_coder;
    NSKeyedUnarchiver::State& m_state;
};

} // namespace

bool NSKeyedUnarchiver::containsValueForKey(std::string_view key)
{
    return plist_dict_get_item(m_state->scopes.back(), storedKey(key).c_str()) != nullptr;
}

Value NSKeyedUnarchiver::decodeObjectForKey(std::string_view key)
{
    if (error())
        return {};
    plist_t node = plist_dict_get_item(m_state->scopes.back(), storedKey(key).c_str());
    if (!node)
        return {};
    Decoder decoder(*this, *m_state);
    auto uid = uidOf(node);
    if (!uid)
        return decoder.fail("value for key '" + std::string(key) + "' is not an object reference");
    return decoder.decodeUID(*uid, key);
}

Value NSKeyedUnarchiver::decodeObjectOfClassesForKey(const std::vector<Class>& classes, std::string_view key)
{
    m_state->allowed.push_back({ false, classes });
    Value v = decodeObjectForKey(key);
    m_state->allowed.pop_back();
    return v;
}

namespace {

// A scalar of the current scope: nullopt when absent; records an error when not a number.
std::optional<Value> scalar(NSKeyedUnarchiver& coder, plist_t scope, std::string_view key)
{
    if (coder.error())
        return std::nullopt;
    plist_t node = plist_dict_get_item(scope, storedKey(key).c_str());
    if (!node)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_UINT:
        return integerValue(node);
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return Value(d);
    }
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return Value(b != 0);
    }
    default:
        coder.failWithError(corruptError("value for key '" + std::string(key) + "' is not a number"));
        return std::nullopt;
    }
}

} // namespace

bool NSKeyedUnarchiver::decodeBoolForKey(std::string_view key)
{
    auto v = scalar(*this, m_state->scopes.back(), key);
    return v && v->boolValue();
}

int32_t NSKeyedUnarchiver::decodeIntForKey(std::string_view key)
{
    return decodeInt32ForKey(key);
}

int32_t NSKeyedUnarchiver::decodeInt32ForKey(std::string_view key)
{
    auto v = scalar(*this, m_state->scopes.back(), key);
    if (!v)
        return 0;
    if (v->kind() == Value::Kind::Double) {
        double d = std::trunc(v->doubleValue());
        if (d >= INT32_MIN && d <= INT32_MAX)
            return static_cast<int32_t>(d);
    } else {
        int64_t i = v->longLongValue();
        if (i >= INT32_MIN && i <= INT32_MAX)
            return static_cast<int32_t>(i);
    }
    failWithError(corruptError(
        "value (" + v->description() + ") for key '" + std::string(key) + "' too large to fit in 32-bit integer"));
    return 0;
}

int64_t NSKeyedUnarchiver::decodeInt64ForKey(std::string_view key)
{
    auto v = scalar(*this, m_state->scopes.back(), key);
    if (!v)
        return 0;
    if (v->kind() == Value::Kind::Double) {
        double d = std::trunc(v->doubleValue());
        if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18)) {
            failWithError(corruptError("value (" + v->description() + ") for key '" + std::string(key)
                + "' too large to fit in 64-bit integer"));
            return 0;
        }
    }
    return v->longLongValue();
}

float NSKeyedUnarchiver::decodeFloatForKey(std::string_view key)
{
    return static_cast<float>(decodeDoubleForKey(key));
}

double NSKeyedUnarchiver::decodeDoubleForKey(std::string_view key)
{
    auto v = scalar(*this, m_state->scopes.back(), key);
    return v ? v->doubleValue() : 0;
}

Value NSKeyedUnarchiver::unarchiveObjectWithData(const Value::Bytes& data, Ref<NSError>* error)
{
    auto unarchiver = initForReadingWithData(data, error);
    if (!unarchiver)
        return {};
    Value root = unarchiver->decodeObjectForKey("root");
    if (error && unarchiver->error())
        *error = unarchiver->error();
    return unarchiver->error() ? Value() : root;
}

Value NSKeyedUnarchiver::unarchivedObjectOfClassesFromData(
    const std::vector<Class>& classes, const Value::Bytes& data, Ref<NSError>* error)
{
    auto unarchiver = initForReadingWithData(data, error);
    if (!unarchiver)
        return {};
    unarchiver->setRequiresSecureCoding(true);
    Value root = unarchiver->decodeObjectOfClassesForKey(classes, "root");
    if (error && unarchiver->error())
        *error = unarchiver->error();
    return unarchiver->error() ? Value() : root;
}
