#include "uikit/UIPasteboard.h"

#include "foundation/NSNotificationCenter.h"
#include "foundation/NSPropertyListSerialization.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>

VX_REGISTER_CLASS(UIPasteboard);

namespace {
std::map<std::string, Ref<UIPasteboard>>& registry()
{
    static std::map<std::string, Ref<UIPasteboard>> s_pasteboards;
    return s_pasteboards;
}
int s_uniqueCounter = 0;
std::string s_sharedRoot;

bool isSystemPasteboard(const std::string& name)
{
    return name == UIPasteboardNameGeneral || name == UIPasteboardNameFind;
}

// The file of a named pasteboard under the shared root; empty when there is no root or the name
// could leave the directory.
std::string sharedFile(const std::string& name)
{
    if (s_sharedRoot.empty() || name.empty() || isSystemPasteboard(name) || name.find('/') != std::string::npos
        || name[0] == '.')
        return {};
    return s_sharedRoot + "/" + name + ".pasteboard";
}

// The items kept in the file, or nullopt when there is none or it cannot be read.
std::optional<std::vector<Value>> readSharedFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    Value::Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Value list = NSPropertyListSerialization::propertyListWithData(Value::data(std::move(bytes)), 0, nullptr, nullptr);
    if (!list.isArray())
        return std::nullopt;
    std::vector<Value> items;
    for (const auto& item : list.elements()) {
        if (item.isDictionary())
            items.push_back(item);
    }
    return items;
}
} // namespace

void UIPasteboard::setSharedRoot(const std::string& directory)
{
    s_sharedRoot = directory;
    while (s_sharedRoot.size() > 1 && s_sharedRoot.back() == '/')
        s_sharedRoot.pop_back();
}

std::string UIPasteboard::sharedRoot()
{
    return s_sharedRoot;
}

void UIPasteboard::setPersistent(bool persistent)
{
    m_persistent = persistent;
    store();
}

void UIPasteboard::store() const
{
    std::string path = sharedFile(m_name);
    if (path.empty())
        return;
    if (!m_persistent) {
        std::remove(path.c_str());
        return;
    }
    // Only property-list values travel between applications; the rest stays in this process.
    Value data = NSPropertyListSerialization::dataWithPropertyList(
        Value::array(m_items), NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0, 0, nullptr);
    if (!data.isData())
        return;
    ::mkdir(s_sharedRoot.c_str(), 0700);
    // Written beside and moved into place, so a reader never sees half a pasteboard.
    std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        const auto& bytes = data.bytes();
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!file)
            return;
    }
    std::rename(temporary.c_str(), path.c_str());
}

Ref<UIPasteboard> UIPasteboard::generalPasteboard()
{
    return pasteboardWithNameCreate(UIPasteboardNameGeneral, true);
}

Ref<UIPasteboard> UIPasteboard::pasteboardWithNameCreate(const std::string& name, bool create)
{
    auto& pasteboards = registry();
    auto it = pasteboards.find(name);
    if (it != pasteboards.end())
        return it->second;
    if (name.empty())
        return nullptr;
    // A persistent pasteboard another process (or an earlier run) left under the shared root.
    std::string path = sharedFile(name);
    auto stored = path.empty() ? std::nullopt : readSharedFile(path);
    if (!create && !stored)
        return nullptr;
    auto pasteboard = make<UIPasteboard>();
    pasteboard->m_name = name;
    pasteboard->m_persistent = isSystemPasteboard(name) || stored.has_value();
    if (stored)
        pasteboard->m_items = std::move(*stored);
    pasteboards[name] = pasteboard;
    return pasteboard;
}

Ref<UIPasteboard> UIPasteboard::pasteboardWithUniqueName()
{
    std::string name;
    do
        name = "unique." + std::to_string(++s_uniqueCounter);
    while (registry().count(name));
    return pasteboardWithNameCreate(name, true);
}

void UIPasteboard::removePasteboardWithName(const std::string& name)
{
    registry().erase(name);
    std::string path = sharedFile(name);
    if (!path.empty())
        std::remove(path.c_str());
}

void UIPasteboard::resetForTesting()
{
    registry().clear();
    s_uniqueCounter = 0;
}

void UIPasteboard::changed()
{
    ++m_changeCount;
    store();
    NSNotificationCenter::defaultCenter()->postNotificationName(UIPasteboardChangedNotification, self<UIPasteboard>());
}

void UIPasteboard::setItems(std::vector<Value> items)
{
    // Only dictionaries are items.
    items.erase(
        std::remove_if(items.begin(), items.end(), [](const Value& v) { return !v.isDictionary(); }), items.end());
    m_items = std::move(items);
    changed();
}

void UIPasteboard::addItems(const std::vector<Value>& items)
{
    for (const auto& item : items) {
        if (item.isDictionary())
            m_items.push_back(item);
    }
    changed();
}

std::vector<std::string> UIPasteboard::pasteboardTypes() const
{
    std::vector<std::string> types;
    if (m_items.empty())
        return types;
    for (const auto& key : m_items.front().allKeys())
        types.push_back(key.stringValue());
    return types;
}

bool UIPasteboard::containsPasteboardTypes(const std::vector<std::string>& types) const
{
    auto present = pasteboardTypes();
    return std::any_of(types.begin(), types.end(),
        [&](const std::string& t) { return std::find(present.begin(), present.end(), t) != present.end(); });
}

Value UIPasteboard::valueForPasteboardType(const std::string& type) const
{
    if (m_items.empty())
        return {};
    return m_items.front().objectForKey(Value(type));
}

void UIPasteboard::setValueForPasteboardType(const Value& value, const std::string& type)
{
    setItems({ Value::dictionary({ { Value(type), value } }) });
}

std::optional<std::string> UIPasteboard::string() const
{
    Value value = valueForPasteboardType(UIPasteboardTypeUTF8PlainText);
    if (!value.isString())
        return std::nullopt;
    return value.stringValue();
}

void UIPasteboard::setString(const std::string& string)
{
    setValueForPasteboardType(Value(string), UIPasteboardTypeUTF8PlainText);
}

std::vector<std::string> UIPasteboard::strings() const
{
    std::vector<std::string> result;
    for (const auto& item : m_items) {
        Value value = item.objectForKey(Value(UIPasteboardTypeUTF8PlainText));
        if (value.isString())
            result.push_back(value.stringValue());
    }
    return result;
}

void UIPasteboard::setStrings(const std::vector<std::string>& strings)
{
    std::vector<Value> items;
    for (const auto& s : strings)
        items.push_back(Value::dictionary({ { Value(UIPasteboardTypeUTF8PlainText), Value(s) } }));
    setItems(std::move(items));
}

std::optional<std::string> UIPasteboard::URL() const
{
    Value value = valueForPasteboardType(UIPasteboardTypeURL);
    if (!value.isString())
        return std::nullopt;
    return value.stringValue();
}

void UIPasteboard::setURL(const std::string& url)
{
    setValueForPasteboardType(Value(url), UIPasteboardTypeURL);
}

Ref<UIImage> UIPasteboard::image() const
{
    return valueForPasteboardType(UIPasteboardTypePNG).objectAs<UIImage>();
}

void UIPasteboard::setImage(const Ref<UIImage>& image)
{
    if (!image) {
        setItems({});
        return;
    }
    setValueForPasteboardType(Value(image), UIPasteboardTypePNG);
}
