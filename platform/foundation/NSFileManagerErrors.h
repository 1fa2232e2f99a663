#pragma once

// Private to the file classes: turning POSIX failures into the platform's file errors.

#include "foundation/NSError.h"

#include <string>

namespace FileErrors {

enum class Operation {
    Read, // reading or listing: no such file is NSFileReadNoSuchFileError
    Write, // creating or writing: no such file is NSFileNoSuchFileError
    Remove, // removing or moving away: as writing
};

// The "NSCocoaErrorDomain" code for errno `posixError` in that kind of operation.
int32_t cocoaCode(int posixError, Operation operation);

// An error with that code, "NSFilePath" and the POSIX error as "NSUnderlyingError".
Ref<NSError> make(int posixError, Operation operation, const std::string& path);
Ref<NSError> make(int32_t cocoaCode, int posixError, const std::string& path);

// Stores `error` in the caller's slot when it gave one; always answers false.
inline bool fail(Ref<NSError>* slot, Ref<NSError> error)
{
    if (slot)
        *slot = std::move(error);
    return false;
}

} // namespace FileErrors
