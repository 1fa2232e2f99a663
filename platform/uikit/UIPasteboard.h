#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <optional>
#include <string>
#include <vector>

class UIImage;

inline constexpr const char* UIPasteboardNameGeneral = "general";
inline constexpr const char* UIPasteboardNameFind = "find";
inline constexpr const char* UIPasteboardChangedNotification = "UIPasteboardChangedNotification";
inline constexpr const char* UIPasteboardTypeUTF8PlainText = "public.utf8-plain-text";
inline constexpr const char* UIPasteboardTypeURL = "public.url";
inline constexpr const char* UIPasteboardTypePNG = "public.png";

// Shared clipboards: the general one and named ones made on request. A pasteboard holds items,
// each a dictionary from type name to value; the convenience accessors read the first item and
// replace all items. Every change bumps changeCount and posts UIPasteboardChangedNotification.
// Persistent named pasteboards are also kept under a shared root directory, where a pasteboard
// of that name is found again by this or another process. Main thread only.
class UIPasteboard : public NSObject {
    VX_OBJECT(UIPasteboard, NSObject)
public:
    explicit UIPasteboard(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UIPasteboard> generalPasteboard();
    // nullptr when there is no such pasteboard and `create` is false.
    static Ref<UIPasteboard> pasteboardWithNameCreate(const std::string& name, bool create);
    static Ref<UIPasteboard> pasteboardWithUniqueName();
    static void removePasteboardWithName(const std::string& name);

    const std::string& name() const { return m_name; }
    int32_t changeCount() const { return m_changeCount; }
    bool isPersistent() const { return m_persistent; }
    void setPersistent(bool v);

    // Items: each a dictionary from type to value.
    const std::vector<Value>& items() const { return m_items; }
    void setItems(std::vector<Value> items);
    void addItems(const std::vector<Value>& items);
    int32_t numberOfItems() const { return int32_t(m_items.size()); }
    std::vector<std::string> pasteboardTypes() const;
    bool containsPasteboardTypes(const std::vector<std::string>& types) const;
    // The first item's value of the type; null when absent.
    Value valueForPasteboardType(const std::string& type) const;
    void setValueForPasteboardType(const Value& value, const std::string& type);

    std::optional<std::string> string() const;
    void setString(const std::string& string);
    std::vector<std::string> strings() const;
    void setStrings(const std::vector<std::string>& strings);
    std::optional<std::string> URL() const;
    void setURL(const std::string& url);
    Ref<UIImage> image() const;
    void setImage(const Ref<UIImage>& image);

    // Test-only: forgets every pasteboard held in this process (files under the shared root
    // stay, as they would for another application).
    static void resetForTesting();

    // Where persistent named pasteboards are kept so that other applications (other processes)
    // see them: one file per pasteboard in this directory. Empty (the default) keeps them in this
    // process only. The general and find pasteboards are never written.
    static void setSharedRoot(const std::string& directory);
    static std::string sharedRoot();

private:
    void changed();
    // Writes a persistent named pasteboard under the shared root; removes its file otherwise.
    void store() const;

    std::string m_name;
    std::vector<Value> m_items;
    int32_t m_changeCount { 0 };
    bool m_persistent { false };
};
