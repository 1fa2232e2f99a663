#include "coredata/NSRelationshipDescription.h"
#include "coredata/tests/CoreDataTestSupport.h"

#include <gtest/gtest.h>

namespace {

using Type = NSAttributeDescription::AttributeType;

TEST(NSManagedObjectModel, LoadsTheApplicationModelsFromResources)
{
    auto model = currentModel();
    ASSERT_TRUE(model);
    EXPECT_EQ(model->versionIdentifier(), "Volantrix 2");
    auto older = NSManagedObjectModel::initWithContentsOfURL(resourcePath("ThornquillLocation", "mom"));
    ASSERT_TRUE(older);

    struct Case {
        Ref<NSManagedObjectModel> model;
        const char* entity;
        const char* attribute;
        Type type;
        Value defaultValue;
    };
    const Case cases[] = {
        { model, "KESTBookmark", "bookmarkName", NSAttributeDescription::NSStringAttributeType, Value() },
        { model, "KESTBookmark", "bookmarkLatSpan", NSAttributeDescription::NSDoubleAttributeType, Value() },
        { model, "KESTBookmark", "bookmarkHomeSet", NSAttributeDescription::NSBooleanAttributeType, Value() },
        { model, "KESTFilter", "filterActive", NSAttributeDescription::NSBooleanAttributeType, Value() },
        { model, "KESTFilterDetail", "filterDetailType", NSAttributeDescription::NSInteger32AttributeType, Value(0) },
        { model, "KESTFilterDetail", "filterUpperLimit", NSAttributeDescription::NSFloatAttributeType, Value(1.0f) },
        { model, "KESTFilterDetail", "filterAirportType", NSAttributeDescription::NSInteger32AttributeType, Value(0) },
        { model, "KESTFilterDetail", "filterTitle", NSAttributeDescription::NSStringAttributeType, Value() },
        { model, "KESTAlert", "alertID", NSAttributeDescription::NSInteger32AttributeType, Value() },
        { model, "KESTAlert", "alertMinLon", NSAttributeDescription::NSDoubleAttributeType, Value() },
        { model, "KESTAlert", "alertTimesRun", NSAttributeDescription::NSInteger32AttributeType, Value(0) },
        { older, "Event", "lonspan", NSAttributeDescription::NSDoubleAttributeType, Value() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entity) + "." + c.attribute);
        auto entity = c.model->entityNamed(c.entity);
        ASSERT_TRUE(entity);
        auto attribute = entity->attributeNamed(c.attribute);
        ASSERT_TRUE(attribute);
        EXPECT_EQ(attribute->attributeType(), c.type);
        EXPECT_TRUE(attribute->isOptional());
        EXPECT_EQ(attribute->defaultValue().isNil(), c.defaultValue.isNil());
        EXPECT_TRUE(attribute->defaultValue().isEqual(c.defaultValue));
    }

    EXPECT_EQ(model->entityNamed("KESTAlert")->attributesByName().count(), 12u);
    EXPECT_EQ(older->entityNamed("Event")->attributesByName().count(), 5u);
    EXPECT_EQ(model->entityNamed("KESTBookmark")->managedObjectClassName(), "KESTBookmark");
    EXPECT_EQ(older->entityNamed("Event")->managedObjectClassName(), "NSManagedObject");

    auto children = model->entityNamed("KESTFilter")->relationshipNamed("childFilter");
    ASSERT_TRUE(children);
    EXPECT_TRUE(children->isToMany());
    EXPECT_EQ(children->deleteRule(), NSRelationshipDescription::NSCascadeDeleteRule);
    auto parent = model->entityNamed("KESTFilter")->inverseOf(children);
    ASSERT_TRUE(parent);
    EXPECT_EQ(parent->name(), "parentFilter");
    EXPECT_FALSE(parent->isToMany());
    EXPECT_EQ(parent->deleteRule(), NSRelationshipDescription::NSNullifyDeleteRule);

    // The older version lacks what the current one added.
    auto first = modelVersion("Volantrix");
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->entityNamed("KESTAlert"));
    EXPECT_FALSE(first->entityNamed("KESTFilterDetail")->attributeNamed("filterAirportType"));
}

TEST(NSManagedObjectModel, RejectsInvalidDescriptions)
{
    auto entity
        = [](const char* json) { return NSJSONSerialization::JSONObjectWithData(std::string(json), 0, nullptr); };
    struct Case {
        const char* name;
        const char* json;
    };
    const Case cases[] = {
        { "unknown type", R"({"entities":[{"name":"A","attributes":[{"name":"x","type":"Quaternion"}]}]})" },
        { "default of wrong type",
            R"({"entities":[{"name":"A","attributes":[{"name":"x","type":"Integer32","default":"seven"}]}]})" },
        { "duplicate property",
            R"({"entities":[{"name":"A","attributes":[{"name":"x","type":"String"},{"name":"x","type":"Double"}]}]})" },
        { "duplicate entity", R"({"entities":[{"name":"A"},{"name":"A"}]})" },
        { "unknown destination", R"({"entities":[{"name":"A","relationships":[{"name":"b","destination":"B"}]}]})" },
        { "inverse mismatch",
            R"({"entities":[{"name":"A","relationships":[{"name":"b","destination":"B","inverse":"a"}]},
                                   {"name":"B","relationships":[{"name":"a","destination":"A","inverse":"other"}]}]})" },
        { "to-many without inverse",
            R"({"entities":[{"name":"A","relationships":[{"name":"b","destination":"B","toMany":true}]},{"name":"B"}]})" },
        { "unknown delete rule",
            R"({"entities":[{"name":"A","relationships":[{"name":"b","destination":"A","deleteRule":"Explode"}]}]})" },
        { "no entities", R"({"name":"A"})" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        EXPECT_FALSE(NSManagedObjectModel::modelWithDescription(entity(c.json), &error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), NSCocoaErrorDomain);
    }
    EXPECT_FALSE(NSManagedObjectModel::initWithContentsOfURL("/nonexistent/Model.mom"));
}

} // namespace
