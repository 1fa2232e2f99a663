#include "sdk/HBRAppVersionMetaInfo.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSCoder.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSString.h"
#include "sdk/HBRHarborHelper.h"

VX_REGISTER_CODING_CLASS(HBRAppVersionMetaInfo);

namespace {

bool sameString(const Value& a, const Value& b)
{
    return a.isString() && b.isString() && a.string() == b.string();
}

bool sameNumber(const Value& a, const Value& b)
{
    return a.isNumber() && b.isNumber() && a.isEqual(b);
}

bool sameDate(const Value& a, const Value& b)
{
    return a.isDate() && b.isDate() && a.dateValue() == b.dateValue();
}

bool sameDictionary(const Value& a, const Value& b)
{
    return a.isDictionary() && b.isDictionary() && a.isEqual(b);
}

// Numbers as they are; numeric text read as a number; anything else 0.
double timestampFrom(const Value& value)
{
    if (value.isNumber())
        return value.doubleValue();
    if (value.isString()) {
        auto text = NSString::stringByTrimmingCharactersInSet(value.string(), NSCharacterSet::whitespaceCharacterSet());
        char* end = nullptr;
        double parsed = std::strtod(text.c_str(), &end);
        if (!text.empty() && end && *end == '\0')
            return parsed;
    }
    return 0;
}

} // namespace

Ref<HBRAppVersionMetaInfo> HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(const Value& dictionary)
{
    auto info = make<HBRAppVersionMetaInfo>();
    if (!dictionary.isDictionary())
        return info;
    info->m_name = dictionary["title"];
    info->m_version = dictionary["version"];
    info->m_shortVersion = dictionary["shortversion"];
    info->m_minOSVersion = dictionary["minimum_os_version"];
    info->m_notes = dictionary["notes"];
    info->setDateWithTimestamp(timestampFrom(dictionary["timestamp"]));
    info->m_size = dictionary["appsize"];
    info->m_mandatory = dictionary["mandatory"];
    info->m_versionID = dictionary["id"];
    info->m_uuids = dictionary["uuids"];
    return info;
}

Ref<HBRAppVersionMetaInfo> HBRAppVersionMetaInfo::initWithCoder(NSCoder& coder)
{
    auto info = make<HBRAppVersionMetaInfo>();
    info->m_name = coder.decodeObjectForKey("name");
    info->m_version = coder.decodeObjectForKey("version");
    info->m_shortVersion = coder.decodeObjectForKey("shortVersion");
    info->m_minOSVersion = coder.decodeObjectForKey("minOSVersion");
    info->m_notes = coder.decodeObjectForKey("notes");
    info->m_date = coder.decodeObjectForKey("date");
    info->m_size = coder.decodeObjectForKey("size");
    info->m_mandatory = coder.decodeObjectForKey("mandatory");
    info->m_versionID = coder.decodeObjectForKey("versionID");
    info->m_uuids = coder.decodeObjectForKey("uuids");
    return info;
}

void HBRAppVersionMetaInfo::encodeWithCoder(NSCoder& coder)
{
    coder.encodeObjectForKey(m_name, "name");
    coder.encodeObjectForKey(m_version, "version");
    coder.encodeObjectForKey(m_shortVersion, "shortVersion");
    coder.encodeObjectForKey(m_minOSVersion, "minOSVersion");
    coder.encodeObjectForKey(m_notes, "notes");
    coder.encodeObjectForKey(m_date, "date");
    coder.encodeObjectForKey(m_size, "size");
    coder.encodeObjectForKey(m_mandatory, "mandatory");
    coder.encodeObjectForKey(m_versionID, "versionID");
    coder.encodeObjectForKey(m_uuids, "uuids");
}

void HBRAppVersionMetaInfo::setDateWithTimestamp(double timestamp)
{
    m_date = timestamp == 0 ? Value() : Value::date(timestamp);
}

bool HBRAppVersionMetaInfo::isValid() const
{
    return m_name.isString() && !m_name.string().empty() && m_version.isString() && !m_version.string().empty()
        && m_date.isDate();
}

bool HBRAppVersionMetaInfo::hasUUID(const std::optional<std::string>& uuid) const
{
    if (!uuid || !m_uuids.isDictionary())
        return false;
    for (const auto& [key, value] : m_uuids.entries())
        if (value.isString() && value.string() == *uuid)
            return true;
    return false;
}

bool HBRAppVersionMetaInfo::isEqual(const NSObject* other) const
{
    if (other == this)
        return true;
    auto* info = dynamic_cast<const HBRAppVersionMetaInfo*>(other);
    return info && isEqualToAppVersionMetaInfo(info);
}

bool HBRAppVersionMetaInfo::isEqualToAppVersionMetaInfo(const HBRAppVersionMetaInfo* other) const
{
    if (other == this)
        return true;
    if (!other)
        return false;
    return sameString(m_name, other->m_name) && sameString(m_version, other->m_version)
        && sameString(m_shortVersion, other->m_shortVersion) && sameString(m_minOSVersion, other->m_minOSVersion)
        && sameString(m_notes, other->m_notes) && sameDate(m_date, other->m_date) && sameNumber(m_size, other->m_size)
        && sameNumber(m_mandatory, other->m_mandatory) && sameDictionary(m_uuids, other->m_uuids);
}

std::string HBRAppVersionMetaInfo::nameAndVersionString() const
{
    return NSString::stringWithFormat("%@ %@", m_name.isString() ? m_name.string() : std::string(), versionString());
}

std::string HBRAppVersionMetaInfo::versionString() const
{
    std::string marketing = m_shortVersion.isString() ? m_shortVersion.string() : std::string();
    std::string build = marketing.empty() ? versionText() : NSString::stringWithFormat(" (%@)", versionText());
    return NSString::stringWithFormat("%@ %@%@", HBRLocalizedString(std::string("UpdateVersion")), marketing, build);
}

std::string HBRAppVersionMetaInfo::dateString() const
{
    if (!m_date.isDate())
        return "";
    return NSDateFormatter::localizedStringFromDateDateStyleTimeStyle(
        NSDate::dateWithTimeIntervalSince1970(m_date.dateValue()), NSDateFormatterMediumStyle, NSDateFormatterNoStyle);
}

std::string HBRAppVersionMetaInfo::sizeInMB() const
{
    if (m_size.isNumber() && m_size.doubleValue() > 0)
        return NSString::stringWithFormat("%.1f MB", m_size.doubleValue() / 1048576.0);
    return "0 MB";
}

std::string HBRAppVersionMetaInfo::notesOrEmptyString() const
{
    return m_notes.isString() ? m_notes.string() : std::string();
}
