#include "sdk/HBRAppVersionMetaInfo.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"

namespace {

class HBRAppVersionMetaInfoTest : public HarborTest { };

Value entry(std::vector<std::pair<Value, Value>> overrides = {})
{
    Value dict = Value::mutableDictionary(
        { { "title", "Volantrix" }, { "version", "45" }, { "shortversion", "1.2" }, { "minimum_os_version", "7.0" },
            { "notes", "<p>Faster.</p>" }, { "timestamp", 1388534400 }, { "appsize", 1572864 }, { "mandatory", false },
            { "id", 9 }, { "uuids", Value::dictionary({ { "x86_64", "abc123" } }) } });
    for (const auto& [key, value] : overrides)
        dict.setObjectForKey(value, key);
    return dict;
}

TEST_F(HBRAppVersionMetaInfoTest, ReadsEntriesAndShowsThem)
{
    auto info = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry());
    EXPECT_TRUE(info->isValid());
    EXPECT_EQ(info->versionString(), "Version 1.2 (45)");
    EXPECT_EQ(info->nameAndVersionString(), "Volantrix Version 1.2 (45)");
    EXPECT_EQ(info->sizeInMB(), "1.5 MB");
    EXPECT_TRUE(info->hasUUID(std::string("abc123")));
    EXPECT_FALSE(info->hasUUID(std::string("ABC123")));
    EXPECT_FALSE(info->hasUUID(std::nullopt));
    EXPECT_FALSE(info->dateString().empty());
    EXPECT_EQ(info->notesOrEmptyString(), "<p>Faster.</p>");

    const struct {
        const char* name;
        std::vector<std::pair<Value, Value>> overrides;
        bool valid;
        const char* version;
        const char* size;
    } cases[] = {
        { "no marketing version", { { "shortversion", "" } }, true, "Version 45", "1.5 MB" },
        { "no timestamp", { { "timestamp", 0 } }, false, "Version 1.2 (45)", "1.5 MB" },
        { "numeric text timestamp", { { "timestamp", "1388534400" } }, true, "Version 1.2 (45)", "1.5 MB" },
        { "text timestamp", { { "timestamp", "yesterday" } }, false, "Version 1.2 (45)", "1.5 MB" },
        { "title not a string", { { "title", 7 } }, false, "Version 1.2 (45)", "1.5 MB" },
        { "no size", { { "appsize", Value::null() } }, true, "Version 1.2 (45)", "0 MB" },
        { "size as text", { { "appsize", "big" } }, true, "Version 1.2 (45)", "0 MB" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry(c.overrides));
        EXPECT_EQ(record->isValid(), c.valid);
        EXPECT_EQ(record->versionString(), c.version);
        EXPECT_EQ(record->sizeInMB(), c.size);
    }
    EXPECT_FALSE(HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(Value("not a dictionary"))->isValid());
}

TEST_F(HBRAppVersionMetaInfoTest, EqualityIgnoresTheUploadIdAndAbsentFields)
{
    auto a = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry());
    auto b = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry({ { "id", 10 } }));
    EXPECT_TRUE(a->isEqual(b.get()));
    auto c = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry({ { "notes", "other" } }));
    EXPECT_FALSE(a->isEqual(c.get()));
    Value noNotes = entry();
    noNotes.removeObjectForKey(Value("notes"));
    auto d = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(noNotes);
    auto e = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(noNotes);
    EXPECT_FALSE(d->isEqual(e.get()));
    EXPECT_TRUE(d->isEqual(d.get()));
    // The service's JSON null is not a string either.
    auto f = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry({ { "minimum_os_version", Value::null() } }));
    EXPECT_FALSE(f->isEqual(
        HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry({ { "minimum_os_version", Value::null() } })).get()));
    EXPECT_FALSE(a->isEqual(nullptr));
}

TEST_F(HBRAppVersionMetaInfoTest, ArchiveKeepsEveryField)
{
    auto info = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry({ { "minimum_os_version", "7.0" } }));
    Value data = NSKeyedArchiver::archivedDataWithRootObject(Value::array({ Value::object(info) }));
    Value list = NSKeyedUnarchiver::unarchiveObjectWithData(data.bytes(), nullptr);
    ASSERT_EQ(list.count(), 1u);
    auto back = list[0].objectAs<HBRAppVersionMetaInfo>();
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEqual(info.get()));
    EXPECT_EQ(back->versionID(), info->versionID());
    EXPECT_EQ(back->minOSVersion(), Value("7.0"));
}

} // namespace
