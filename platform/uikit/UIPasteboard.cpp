#include "uikit/UIPasteboard.h"

#include "foundation/NSNotificationCenter.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <map>

VX_REGISTER_CLASS(UIPasteboard);

namespace {
std::map<std::string, Ref<UIPasteboard>>& registry()
{
    static std::map<std::string, Ref<UIPasteboard>> s_pasteboards;
    return s_pasteboards;
}
int s_uniqueCounter = 0;
} // namespace

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
    if (!create || name.empty())
        return nullptr;
    auto pasteboard = make<UIPasteboard>();
    pasteboard->m_name = name;
    pasteboard->m_persistent = name == UIPasteboardNameGeneral || name == UIPasteboardNameFind;
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
}

void UIPasteboard::resetForTesting()
{
    registry().clear();
    s_uniqueCounter = 0;
}

void UIPasteboard::changed()
{
    ++m_changeCount;
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
