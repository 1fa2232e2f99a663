#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>
#include <vector>

// A set of entities, loaded from a model description among the resources. Immutable once
// loaded; any thread.
//
// A model file is JSON. A ".mom" file describes one model:
//   { "name": "Volantrix", "version": "Volantrix 2", "entities": [
//       { "name": "KESTFilter", "class": "KESTFilter",
//         "attributes": [ { "name": "filterName", "type": "String", "optional": true,
//                           "default": ... } ],
//         "relationships": [ { "name": "childFilter", "destination": "KESTFilterDetail",
//                              "inverse": "parentFilter", "toMany": true,
//                              "deleteRule": "Cascade" } ] } ] }
// A ".momd" file holds the versions of a model and names the current one:
//   { "current": "Volantrix 2", "versions": [ <model>, <model> ] }
// Attribute types: Integer16, Integer32, Integer64, Decimal, Double, Float, String, Boolean,
// Date, Binary. "optional" defaults to true, "deleteRule" to "Nullify". A to-many relationship
// needs a to-one inverse.
class NSManagedObjectModel : public NSObject {
    VX_OBJECT(NSManagedObjectModel, NSObject)
public:
    explicit NSManagedObjectModel(Passkey);

    // The model at a path; nullptr when the file is missing or does not describe a valid model.
    static Ref<NSManagedObjectModel> initWithContentsOfURL(const std::string& path);
    // A model from its parsed description (one version); nullptr with `error` when invalid.
    static Ref<NSManagedObjectModel> modelWithDescription(const Value& description, Ref<NSError>* error = nullptr);
    // A model made in code from entities (their inverses must name each other).
    static Ref<NSManagedObjectModel> modelWithEntities(
        std::vector<Ref<NSEntityDescription>> entities, Ref<NSError>* error = nullptr);

    const std::vector<Ref<NSEntityDescription>>& entities() const { return m_entities; }
    Value entitiesByName() const;
    Ref<NSEntityDescription> entityNamed(const std::string& name) const;
    const std::string& versionIdentifier() const { return m_version; }

    // The schema a store records: entity name -> { attributes: name -> type name, toOne:
    // relationship name -> destination }. Two models with the same schema share a store layout.
    Value storeSchema() const;

private:
    std::vector<Ref<NSEntityDescription>> m_entities;
    std::string m_version;
};
