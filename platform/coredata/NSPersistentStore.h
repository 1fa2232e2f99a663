#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct ObjectSnapshot;

inline constexpr const char* NSSQLiteStoreType = "SQLite";
inline constexpr const char* NSMigratePersistentStoresAutomaticallyOption
    = "NSMigratePersistentStoresAutomaticallyOption";
inline constexpr const char* NSInferMappingModelAutomaticallyOption = "NSInferMappingModelAutomaticallyOption";

// A SQLite database file holding the rows of a model's entities: one table per entity, one
// column per attribute and per to-one relationship, and a metadata table recording the layout
// so a later model can tell whether (and how) the file must be migrated. Every save is one
// transaction, so a process killed during a save leaves the file as it was before or after.
// Used by its coordinator, which serialises access; SQLite failures come back as NSError values.
class NSPersistentStore : public NSObject {
    VX_OBJECT(NSPersistentStore, NSObject)
public:
    struct Database;
    NSPersistentStore(Passkey, std::string path, Value options);
    ~NSPersistentStore() override;

    const std::string& type() const { return m_type; }
    const std::string& URL() const { return m_path; }
    const Value& options() const { return m_options; }
    // A random identifier made when the file was created.
    const std::string& identifier() const { return m_identifier; }

    // Opens (creating when absent) the file for `model`, migrating an older layout when the
    // options allow it. nullptr with an error when the file cannot be opened or migrated.
    static Ref<NSPersistentStore> openSQLiteStore(
        const std::string& path, const Value& options, const Ref<NSManagedObjectModel>& model, Ref<NSError>* error);

    // A row as read: its key, attribute values (nil ones absent) and to-one keys (none absent).
    struct Row {
        int64_t primaryKey { 0 };
        std::map<std::string, Value> attributes;
        std::map<std::string, int64_t> toOne;
    };
    // Every row of the entity in key order (the order rows were inserted).
    std::optional<std::vector<Row>> fetchRows(const Ref<NSEntityDescription>& entity, Ref<NSError>* error);
    std::optional<std::optional<Row>> fetchRow(
        const Ref<NSEntityDescription>& entity, int64_t primaryKey, Ref<NSError>* error);

    // Writes inserted, changed and deleted objects in one transaction. Inserted objects get new
    // keys, answered by ID; nothing is written (and nullopt answered) on any failure.
    std::optional<std::map<const NSManagedObjectID*, int64_t>> save(const std::vector<ObjectSnapshot>& inserted,
        const std::vector<ObjectSnapshot>& updated, const std::vector<Ref<NSManagedObjectID>>& deleted,
        Ref<NSError>* error);

private:
    std::string m_type { NSSQLiteStoreType };
    std::string m_path;
    Value m_options;
    std::string m_identifier;
    std::unique_ptr<Database> m_database;
};
