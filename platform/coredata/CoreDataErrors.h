#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <cstdint>
#include <string>

// Error codes of the managed object layer, in "NSCocoaErrorDomain" with the platform's numbers.
// A file that is not a store reports NSFileReadCorruptFileError (NSFileManager.h). SQLite
// failures carry the engine's own result code in "NSSQLiteErrorDomain" as the underlying error.
inline constexpr int32_t NSManagedObjectValidationError = 1550;
inline constexpr int32_t NSValidationMissingMandatoryPropertyError = 1570;
inline constexpr int32_t NSValidationRelationshipDeniedDeleteError = 1600;
inline constexpr int32_t NSManagedObjectReferentialIntegrityError = 133000;
inline constexpr int32_t NSPersistentStoreInvalidTypeError = 134000;
inline constexpr int32_t NSPersistentStoreIncompatibleSchemaError = 134020;
inline constexpr int32_t NSPersistentStoreSaveError = 134030;
inline constexpr int32_t NSPersistentStoreOperationError = 134070;
inline constexpr int32_t NSPersistentStoreIncompatibleVersionHashError = 134100;
inline constexpr int32_t NSMigrationError = 134110;
inline constexpr int32_t NSMigrationMissingMappingModelError = 134140;
inline constexpr int32_t NSCoreDataError = 134060;

inline constexpr const char* NSSQLiteErrorDomain = "NSSQLiteErrorDomain";
inline constexpr const char* NSDetailedErrorsKey = "NSDetailedErrors";
inline constexpr const char* NSValidationKeyErrorKey = "NSValidationErrorKey";
inline constexpr const char* NSValidationObjectErrorKey = "NSValidationErrorObject";
inline constexpr const char* NSAffectedStoresErrorKey = "NSAffectedStoresErrorKey";

// An error in "NSCocoaErrorDomain" with a description and further user-info entries.
Ref<NSError> coreDataError(int32_t code, const std::string& description, Value extraUserInfo = {});
// Stores `made` in `*slot` when the caller passed one.
void reportError(Ref<NSError>* slot, const Ref<NSError>& made);
