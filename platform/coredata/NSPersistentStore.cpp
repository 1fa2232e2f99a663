#include "coredata/NSPersistentStore.h"

#include "coredata/CoreDataErrors.h"
#include "coredata/ManagedObjectSnapshot.h"
#include "coredata/NSAttributeDescription.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObjectID.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSRelationshipDescription.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSUUID.h"

#include <sqlite3.h>

#include <cstdio>
#include <set>
#include <utility>

VX_REGISTER_CLASS(NSPersistentStore);

namespace {

constexpr const char* s_keyColumn = "vx_pk";

std::string quoted(const std::string& identifier)
{
    std::string out = "\"";
    for (char c : identifier) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string tableName(const std::string& entity)
{
    return quoted("vx_" + entity);
}

const char* columnType(NSAttributeDescription::AttributeType type)
{
    switch (type) {
    case NSAttributeDescription::NSInteger16AttributeType:
    case NSAttributeDescription::NSInteger32AttributeType:
    case NSAttributeDescription::NSInteger64AttributeType:
    case NSAttributeDescription::NSBooleanAttributeType:
        return "INTEGER";
    case NSAttributeDescription::NSDecimalAttributeType:
    case NSAttributeDescription::NSDoubleAttributeType:
    case NSAttributeDescription::NSFloatAttributeType:
    case NSAttributeDescription::NSDateAttributeType:
        return "REAL";
    case NSAttributeDescription::NSStringAttributeType:
        return "TEXT";
    default:
        return "BLOB";
    }
}

// A constant for ALTER TABLE ... DEFAULT, which takes no bound parameters.
std::string literal(const Ref<NSAttributeDescription>& attribute)
{
    const Value& value = attribute->defaultValue();
    if (value.isNil())
        return "NULL";
    switch (attribute->attributeType()) {
    case NSAttributeDescription::NSStringAttributeType: {
        std::string out = "'";
        for (char c : value.string()) {
            if (c == '\'')
                out += '\'';
            out += c;
        }
        return out + "'";
    }
    case NSAttributeDescription::NSDecimalAttributeType:
    case NSAttributeDescription::NSDoubleAttributeType:
    case NSAttributeDescription::NSFloatAttributeType:
    case NSAttributeDescription::NSDateAttributeType: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", value.isDate() ? value.dateValue() : value.doubleValue());
        return buffer;
    }
    case NSAttributeDescription::NSBinaryDataAttributeType: {
        static const char* digits = "0123456789ABCDEF";
        std::string out = "X'";
        for (uint8_t byte : value.bytes()) {
            out += digits[byte >> 4];
            out += digits[byte & 15];
        }
        return out + "'";
    }
    default:
        return std::to_string(value.longLongValue());
    }
}

} // namespace

// The open database and its prepared-statement helpers. All calls are made under the
// coordinator's lock.
struct NSPersistentStore::Database {
    sqlite3* handle { nullptr };
    std::string path;

    ~Database()
    {
        if (handle)
            sqlite3_close_v2(handle);
    }

    Ref<NSError> error(int code, const std::string& what) const
    {
        std::string message = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(code);
        Value sqliteInfo = Value::dictionary({ { Value(NSLocalizedDescriptionKey), Value(message) } });
        auto underlying = NSError::errorWithDomain(NSSQLiteErrorDomain, code, sqliteInfo);
        int32_t cocoaCode = (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) ? NSFileReadCorruptFileError
                                                                              : NSPersistentStoreOperationError;
        return coreDataError(cocoaCode, what + ": " + message,
            Value::dictionary(
                { { Value(NSUnderlyingErrorKey), Value(underlying) }, { Value(NSFilePathErrorKey), Value(path) } }));
    }

    bool exec(const std::string& sql, Ref<NSError>* out, const std::string& what)
    {
        int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            reportError(out, error(rc, what));
            return false;
        }
        return true;
    }

    struct Statement {
        sqlite3_stmt* statement { nullptr };
        ~Statement()
        {
            if (statement)
                sqlite3_finalize(statement);
        }
    };

    bool prepare(Statement& statement, const std::string& sql, Ref<NSError>* out, const std::string& what)
    {
        int rc = sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement.statement, nullptr);
        if (rc != SQLITE_OK) {
            reportError(out, error(rc, what));
            return false;
        }
        return true;
    }

    // Runs a statement that returns no rows.
    bool step(Statement& statement, Ref<NSError>* out, const std::string& what)
    {
        int rc = sqlite3_step(statement.statement);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            reportError(out, error(rc, what));
            return false;
        }
        return true;
    }

    void bind(Statement& statement, int index, const Ref<NSAttributeDescription>& attribute, const Value& value)
    {
        sqlite3_stmt* s = statement.statement;
        if (value.isNilOrNull()) {
            sqlite3_bind_null(s, index);
            return;
        }
        switch (attribute->attributeType()) {
        case NSAttributeDescription::NSStringAttributeType:
            sqlite3_bind_text(
                s, index, value.string().data(), static_cast<int>(value.string().size()), SQLITE_TRANSIENT);
            break;
        case NSAttributeDescription::NSDecimalAttributeType:
        case NSAttributeDescription::NSDoubleAttributeType:
        case NSAttributeDescription::NSFloatAttributeType:
            sqlite3_bind_double(s, index, value.doubleValue());
            break;
        case NSAttributeDescription::NSDateAttributeType:
            sqlite3_bind_double(s, index, value.dateValue());
            break;
        case NSAttributeDescription::NSBinaryDataAttributeType:
            sqlite3_bind_blob(s, index, value.bytes().data(), static_cast<int>(value.bytes().size()), SQLITE_TRANSIENT);
            break;
        default:
            sqlite3_bind_int64(s, index, value.longLongValue());
            break;
        }
    }

    static Value column(Statement& statement, int index, const Ref<NSAttributeDescription>& attribute)
    {
        sqlite3_stmt* s = statement.statement;
        if (sqlite3_column_type(s, index) == SQLITE_NULL)
            return Value();
        switch (attribute->attributeType()) {
        case NSAttributeDescription::NSStringAttributeType: {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(s, index));
            return Value(std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(s, index))));
        }
        case NSAttributeDescription::NSDecimalAttributeType:
        case NSAttributeDescription::NSDoubleAttributeType:
            return Value(sqlite3_column_double(s, index));
        case NSAttributeDescription::NSFloatAttributeType:
            return Value(static_cast<float>(sqlite3_column_double(s, index)));
        case NSAttributeDescription::NSDateAttributeType:
            return Value::date(sqlite3_column_double(s, index));
        case NSAttributeDescription::NSBinaryDataAttributeType: {
            auto bytes = static_cast<const uint8_t*>(sqlite3_column_blob(s, index));
            int length = sqlite3_column_bytes(s, index);
            return Value::data(Value::Bytes(bytes, bytes + length));
        }
        case NSAttributeDescription::NSBooleanAttributeType:
            return Value(sqlite3_column_int64(s, index) != 0);
        case NSAttributeDescription::NSInteger64AttributeType:
            return Value(static_cast<int64_t>(sqlite3_column_int64(s, index)));
        default:
            return Value(static_cast<int32_t>(sqlite3_column_int64(s, index)));
        }
    }

    std::optional<std::string> metadata(const std::string& key, Ref<NSError>* out)
    {
        Statement statement;
        if (!prepare(statement, "SELECT value FROM vx_metadata WHERE key = ?", out, "Reading the store's metadata"))
            return std::nullopt;
        sqlite3_bind_text(statement.statement, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        int rc = sqlite3_step(statement.statement);
        if (rc == SQLITE_ROW) {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement.statement, 0));
            return std::string(text ? text : "");
        }
        if (rc != SQLITE_DONE)
            reportError(out, error(rc, "Reading the store's metadata"));
        return std::nullopt;
    }

    bool setMetadata(const std::string& key, const std::string& value, Ref<NSError>* out)
    {
        Statement statement;
        if (!prepare(statement, "INSERT OR REPLACE INTO vx_metadata (key, value) VALUES (?, ?)", out,
                "Writing the store's metadata"))
            return false;
        sqlite3_bind_text(statement.statement, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(statement.statement, 2, value.c_str(), -1, SQLITE_TRANSIENT);
        return step(statement, out, "Writing the store's metadata");
    }

    bool createTable(const Ref<NSEntityDescription>& entity, Ref<NSError>* out)
    {
        std::string sql
            = "CREATE TABLE " + tableName(entity->name()) + " (" + quoted(s_keyColumn) + " INTEGER PRIMARY KEY";
        for (const auto& attribute : entity->attributes())
            sql += ", " + quoted(attribute->name()) + " " + columnType(attribute->attributeType());
        for (const auto& relationship : entity->relationships()) {
            if (!relationship->isToMany())
                sql += ", " + quoted(relationship->name()) + " INTEGER";
        }
        return exec(sql + ")", out, "Creating the table of " + entity->name());
    }
};

namespace {

std::string schemaText(const Ref<NSManagedObjectModel>& model)
{
    Value data = NSJSONSerialization::dataWithJSONObject(model->storeSchema(), 0, nullptr);
    return std::string(data.bytes().begin(), data.bytes().end());
}

// Brings a store laid out for an older model to `model`'s layout: tables for added entities,
// columns for added attributes and to-one relationships. A change of an attribute's type, a
// to-one that now points elsewhere, or an added mandatory attribute without a default cannot be
// inferred.
bool migrate(NSPersistentStore::Database& database, const Value& stored, const Ref<NSManagedObjectModel>& model,
    Ref<NSError>* error)
{
    auto cannot = [&](const std::string& why) {
        reportError(error,
            coreDataError(NSMigrationMissingMappingModelError, "Can't find mapping model for migration: " + why,
                Value::dictionary({ { Value(NSFilePathErrorKey), Value(database.path) } })));
        return false;
    };
    for (const auto& entity : model->entities()) {
        const Value& old = stored[entity->name()];
        if (old.isNil()) {
            if (!database.createTable(entity, error))
                return false;
            continue;
        }
        for (const auto& attribute : entity->attributes()) {
            const Value& oldType = old["attributes"][attribute->name()];
            if (!oldType.isNil()) {
                if (oldType.stringValue() != NSAttributeDescription::nameOfType(attribute->attributeType()))
                    return cannot(entity->name() + "." + attribute->name() + " changed its type");
                continue;
            }
            if (!attribute->isOptional() && attribute->defaultValue().isNil())
                return cannot(entity->name() + "." + attribute->name() + " is new, mandatory and has no default");
            std::string sql = "ALTER TABLE " + tableName(entity->name()) + " ADD COLUMN " + quoted(attribute->name())
                + " " + columnType(attribute->attributeType()) + " DEFAULT " + literal(attribute);
            if (!database.exec(sql, error, "Adding " + entity->name() + "." + attribute->name()))
                return false;
        }
        for (const auto& relationship : entity->relationships()) {
            if (relationship->isToMany())
                continue;
            const Value& oldDestination = old["toOne"][relationship->name()];
            if (!oldDestination.isNil()) {
                if (oldDestination.stringValue() != relationship->destinationEntityName())
                    return cannot(entity->name() + "." + relationship->name() + " changed its destination");
                continue;
            }
            if (!old["attributes"][relationship->name()].isNil())
                return cannot(entity->name() + "." + relationship->name() + " was an attribute");
            std::string sql = "ALTER TABLE " + tableName(entity->name()) + " ADD COLUMN " + quoted(relationship->name())
                + " INTEGER";
            if (!database.exec(sql, error, "Adding " + entity->name() + "." + relationship->name()))
                return false;
        }
    }
    // Tables and columns of removed entities and properties stay, unused.
    return database.setMetadata("schema", schemaText(model), error)
        && database.setMetadata("version", model->versionIdentifier(), error);
}

} // namespace

NSPersistentStore::NSPersistentStore(Passkey key, std::string path, Value options)
    : NSObject(key)
    , m_path(std::move(path))
    , m_options(std::move(options))
{
}

NSPersistentStore::~NSPersistentStore() = default;

Ref<NSPersistentStore> NSPersistentStore::openSQLiteStore(
    const std::string& path, const Value& options, const Ref<NSManagedObjectModel>& model, Ref<NSError>* error)
{
    auto database = std::make_unique<Database>();
    database->path = path;
    int rc = sqlite3_open_v2(
        path.c_str(), &database->handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        reportError(error, database->error(rc, "The store could not be opened"));
        return nullptr;
    }
    sqlite3_extended_result_codes(database->handle, 0);
    // A kill during a save must leave the file whole: rollback journal, full syncs.
    if (!database->exec("PRAGMA synchronous = FULL", error, "The store could not be opened")
        || !database->exec("CREATE TABLE IF NOT EXISTS vx_metadata (key TEXT PRIMARY KEY, value TEXT)", error,
            "The store could not be opened"))
        return nullptr;

    auto storedSchema = database->metadata("schema", error);
    std::string currentSchema = schemaText(model);
    std::string identifier;
    if (!storedSchema) {
        // A new file (or one without our layout yet): lay out every entity.
        if (!database->exec("BEGIN IMMEDIATE", error, "The store could not be created"))
            return nullptr;
        bool ok = database->exec("CREATE TABLE IF NOT EXISTS vx_sequence (entity TEXT PRIMARY KEY, last INTEGER)",
            error, "The store could not be created");
        for (const auto& entity : model->entities())
            ok = ok && database->createTable(entity, error);
        identifier = NSUUID::UUID()->UUIDString();
        ok = ok && database->setMetadata("schema", currentSchema, error)
            && database->setMetadata("version", model->versionIdentifier(), error)
            && database->setMetadata("identifier", identifier, error);
        if (!ok || !database->exec("COMMIT", error, "The store could not be created")) {
            sqlite3_exec(database->handle, "ROLLBACK", nullptr, nullptr, nullptr);
            return nullptr;
        }
    } else {
        identifier = database->metadata("identifier", error).value_or("");
        if (*storedSchema != currentSchema) {
            bool automatic = options[NSMigratePersistentStoresAutomaticallyOption].boolValue();
            bool infer = options[NSInferMappingModelAutomaticallyOption].boolValue();
            if (!automatic) {
                reportError(error,
                    coreDataError(NSPersistentStoreIncompatibleVersionHashError,
                        "The model used to open the store is incompatible with the one used to create the store",
                        Value::dictionary({ { Value(NSFilePathErrorKey), Value(path) } })));
                return nullptr;
            }
            Value stored = NSJSONSerialization::JSONObjectWithData(*storedSchema, 0, nullptr);
            if (!infer || !stored.isDictionary()) {
                reportError(error,
                    coreDataError(NSMigrationMissingMappingModelError, "Can't find mapping model for migration",
                        Value::dictionary({ { Value(NSFilePathErrorKey), Value(path) } })));
                return nullptr;
            }
            if (!database->exec("BEGIN IMMEDIATE", error, "The store could not be migrated"))
                return nullptr;
            if (!migrate(*database, stored, model, error)
                || !database->exec("COMMIT", error, "The store could not be migrated")) {
                sqlite3_exec(database->handle, "ROLLBACK", nullptr, nullptr, nullptr);
                return nullptr;
            }
        }
    }
    auto store = make<NSPersistentStore>(path, options);
    store->m_identifier = identifier;
    store->m_database = std::move(database);
    return store;
}

namespace {

void readRow(NSPersistentStore::Database::Statement& statement, const Ref<NSEntityDescription>& entity,
    NSPersistentStore::Row& row)
{
    row.primaryKey = sqlite3_column_int64(statement.statement, 0);
    int index = 1;
    for (const auto& attribute : entity->attributes()) {
        Value value = NSPersistentStore::Database::column(statement, index++, attribute);
        if (!value.isNil())
            row.attributes.emplace(attribute->name(), std::move(value));
    }
    for (const auto& relationship : entity->relationships()) {
        if (relationship->isToMany())
            continue;
        if (sqlite3_column_type(statement.statement, index) != SQLITE_NULL)
            row.toOne.emplace(relationship->name(), sqlite3_column_int64(statement.statement, index));
        ++index;
    }
}

std::string selectColumns(const Ref<NSEntityDescription>& entity)
{
    std::string sql = "SELECT " + quoted(s_keyColumn);
    for (const auto& attribute : entity->attributes())
        sql += ", " + quoted(attribute->name());
    for (const auto& relationship : entity->relationships()) {
        if (!relationship->isToMany())
            sql += ", " + quoted(relationship->name());
    }
    return sql + " FROM " + tableName(entity->name());
}

} // namespace

std::optional<std::vector<NSPersistentStore::Row>> NSPersistentStore::fetchRows(
    const Ref<NSEntityDescription>& entity, Ref<NSError>* error)
{
    Database::Statement statement;
    if (!m_database->prepare(
            statement, selectColumns(entity) + " ORDER BY " + quoted(s_keyColumn), error, "Fetching " + entity->name()))
        return std::nullopt;
    std::vector<Row> rows;
    while (true) {
        int rc = sqlite3_step(statement.statement);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW) {
            reportError(error, m_database->error(rc, "Fetching " + entity->name()));
            return std::nullopt;
        }
        Row row;
        readRow(statement, entity, row);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<std::optional<NSPersistentStore::Row>> NSPersistentStore::fetchRow(
    const Ref<NSEntityDescription>& entity, int64_t primaryKey, Ref<NSError>* error)
{
    Database::Statement statement;
    if (!m_database->prepare(statement, selectColumns(entity) + " WHERE " + quoted(s_keyColumn) + " = ?", error,
            "Fetching " + entity->name()))
        return std::nullopt;
    sqlite3_bind_int64(statement.statement, 1, primaryKey);
    int rc = sqlite3_step(statement.statement);
    if (rc == SQLITE_DONE)
        return std::optional<Row>();
    if (rc != SQLITE_ROW) {
        reportError(error, m_database->error(rc, "Fetching " + entity->name()));
        return std::nullopt;
    }
    Row row;
    readRow(statement, entity, row);
    return std::optional<Row>(std::move(row));
}

std::optional<std::map<const NSManagedObjectID*, int64_t>> NSPersistentStore::save(
    const std::vector<ObjectSnapshot>& inserted, const std::vector<ObjectSnapshot>& updated,
    const std::vector<Ref<NSManagedObjectID>>& deleted, Ref<NSError>* error)
{
    Database& db = *m_database;
    std::map<const NSManagedObjectID*, int64_t> keys;
    if (!db.exec("BEGIN IMMEDIATE", error, "The store could not be saved"))
        return std::nullopt;
    auto abandon = [&]() -> std::optional<std::map<const NSManagedObjectID*, int64_t>> {
        sqlite3_exec(db.handle, "ROLLBACK", nullptr, nullptr, nullptr);
        return std::nullopt;
    };

    // Keys first, so rows can name each other; keys are never reused, even after deletion.
    std::map<std::string, int64_t> last;
    for (const auto& snapshot : inserted) {
        const auto& entity = snapshot.objectID->entity()->name();
        if (!last.count(entity)) {
            Database::Statement statement;
            if (!db.prepare(
                    statement, "SELECT last FROM vx_sequence WHERE entity = ?", error, "The store could not be saved"))
                return abandon();
            sqlite3_bind_text(statement.statement, 1, entity.c_str(), -1, SQLITE_TRANSIENT);
            int rc = sqlite3_step(statement.statement);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
                reportError(error, db.error(rc, "The store could not be saved"));
                return abandon();
            }
            last[entity] = rc == SQLITE_ROW ? sqlite3_column_int64(statement.statement, 0) : 0;
        }
        keys[snapshot.objectID.get()] = ++last[entity];
    }
    for (const auto& [entity, key] : last) {
        Database::Statement statement;
        if (!db.prepare(statement, "INSERT OR REPLACE INTO vx_sequence (entity, last) VALUES (?, ?)", error,
                "The store could not be saved"))
            return abandon();
        sqlite3_bind_text(statement.statement, 1, entity.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(statement.statement, 2, key);
        if (!db.step(statement, error, "The store could not be saved"))
            return abandon();
    }

    auto keyOf = [&](const Ref<NSManagedObjectID>& id) -> int64_t {
        if (!id)
            return 0;
        if (!id->isTemporaryID())
            return id->primaryKey();
        auto found = keys.find(id.get());
        return found == keys.end() ? 0 : found->second;
    };

    auto write = [&](const ObjectSnapshot& snapshot, bool insert) {
        const auto& entity = snapshot.objectID->entity();
        std::vector<std::string> columns { s_keyColumn };
        for (const auto& attribute : entity->attributes())
            columns.push_back(attribute->name());
        for (const auto& relationship : entity->relationships()) {
            if (!relationship->isToMany())
                columns.push_back(relationship->name());
        }
        std::string sql;
        if (insert) {
            sql = "INSERT INTO " + tableName(entity->name()) + " (";
            std::string marks;
            for (size_t i = 0; i < columns.size(); ++i) {
                sql += (i ? ", " : "") + quoted(columns[i]);
                marks += i ? ", ?" : "?";
            }
            sql += ") VALUES (" + marks + ")";
        } else {
            sql = "UPDATE " + tableName(entity->name()) + " SET ";
            for (size_t i = 1; i < columns.size(); ++i)
                sql += (i > 1 ? ", " : "") + quoted(columns[i]) + " = ?" + std::to_string(i + 1);
            sql += " WHERE " + quoted(s_keyColumn) + " = ?1";
        }
        Database::Statement statement;
        if (!db.prepare(statement, sql, error, "The store could not be saved"))
            return false;
        sqlite3_bind_int64(statement.statement, 1, keyOf(snapshot.objectID));
        int index = 2;
        for (const auto& attribute : entity->attributes()) {
            auto found = snapshot.attributes.find(attribute->name());
            db.bind(statement, index++, attribute, found == snapshot.attributes.end() ? Value() : found->second);
        }
        for (const auto& relationship : entity->relationships()) {
            if (relationship->isToMany())
                continue;
            auto found = snapshot.toOne.find(relationship->name());
            int64_t key = found == snapshot.toOne.end() ? 0 : keyOf(found->second);
            if (key)
                sqlite3_bind_int64(statement.statement, index, key);
            else
                sqlite3_bind_null(statement.statement, index);
            ++index;
        }
        return db.step(statement, error, "The store could not be saved");
    };

    for (const auto& snapshot : inserted) {
        if (!write(snapshot, true))
            return abandon();
    }
    for (const auto& snapshot : updated) {
        if (!write(snapshot, false))
            return abandon();
    }
    for (const auto& id : deleted) {
        if (id->isTemporaryID())
            continue;
        Database::Statement statement;
        if (!db.prepare(statement,
                "DELETE FROM " + tableName(id->entity()->name()) + " WHERE " + quoted(s_keyColumn) + " = ?", error,
                "The store could not be saved"))
            return abandon();
        sqlite3_bind_int64(statement.statement, 1, id->primaryKey());
        if (!db.step(statement, error, "The store could not be saved"))
            return abandon();
    }
    if (!db.exec("COMMIT", error, "The store could not be saved"))
        return abandon();
    return keys;
}
