#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <optional>
#include <string>

// One version of the application in the service's version list: name, build and marketing
// versions, release notes, date, size, mandatory flag, the service's upload id and the
// executable UUIDs of its builds. Any field may be absent (a nil Value) or of another kind than
// the service promised; the comparisons treat both as unequal. Main thread only.
class HBRAppVersionMetaInfo : public NSObject, public NSCoding {
    VX_OBJECT(HBRAppVersionMetaInfo, NSObject)
public:
    explicit HBRAppVersionMetaInfo(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HBRAppVersionMetaInfo> init() { return make<HBRAppVersionMetaInfo>(); }
    static Ref<HBRAppVersionMetaInfo> appVersionMetaInfoFromDict(const Value& dictionary);
    static Ref<HBRAppVersionMetaInfo> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

    // 0 leaves the date absent.
    void setDateWithTimestamp(double timestamp);
    bool isValid() const;
    bool hasUUID(const std::optional<std::string>& uuid) const;
    bool isEqual(const NSObject* other) const override;
    bool isEqualToAppVersionMetaInfo(const HBRAppVersionMetaInfo* other) const;

    std::string nameAndVersionString() const;
    std::string versionString() const;
    std::string dateString() const;
    std::string sizeInMB() const;
    std::string notesOrEmptyString() const;
    bool isMandatory() const { return m_mandatory.isNumber() && m_mandatory.boolValue(); }

    const Value& name() const { return m_name; }
    void setName(Value v) { m_name = std::move(v); }
    const Value& version() const { return m_version; }
    void setVersion(Value v) { m_version = std::move(v); }
    const Value& shortVersion() const { return m_shortVersion; }
    void setShortVersion(Value v) { m_shortVersion = std::move(v); }
    const Value& minOSVersion() const { return m_minOSVersion; }
    const Value& notes() const { return m_notes; }
    const Value& date() const { return m_date; }
    const Value& size() const { return m_size; }
    const Value& mandatory() const { return m_mandatory; }
    const Value& versionID() const { return m_versionID; }
    const Value& uuids() const { return m_uuids; }
    // The version string when it is one, else "".
    std::string versionText() const { return m_version.isString() ? m_version.string() : std::string(); }

private:
    Value m_name, m_version, m_shortVersion, m_minOSVersion, m_notes, m_date, m_size, m_mandatory, m_versionID, m_uuids;
};
