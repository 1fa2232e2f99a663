#include "foundation/NSFileManagerErrors.h"

#include "foundation/NSFileManager.h"

#include <cerrno>
#include <cstring>

namespace FileErrors {

int32_t cocoaCode(int posixError, Operation operation)
{
    bool reading = operation == Operation::Read;
    switch (posixError) {
    case ENOENT:
    case ENOTDIR:
        return reading ? NSFileReadNoSuchFileError : NSFileNoSuchFileError;
    case EACCES:
    case EPERM:
        return reading ? NSFileReadNoPermissionError : NSFileWriteNoPermissionError;
    case EEXIST:
    case ENOTEMPTY:
        return reading ? NSFileReadUnknownError : NSFileWriteFileExistsError;
    case ENOSPC:
    case EDQUOT:
        return reading ? NSFileReadUnknownError : NSFileWriteOutOfSpaceError;
    case EROFS:
        return reading ? NSFileReadUnknownError : NSFileWriteVolumeReadOnlyError;
    case ENAMETOOLONG:
    case EINVAL:
        return reading ? NSFileReadInvalidFileNameError : NSFileWriteInvalidFileNameError;
    case EFBIG:
        return reading ? NSFileReadTooLargeError : NSFileWriteOutOfSpaceError;
    default:
        return reading ? NSFileReadUnknownError : NSFileWriteUnknownError;
    }
}

Ref<NSError> make(int32_t code, int posixError, const std::string& path)
{
    Value info = Value::mutableDictionary();
    info.setObjectForKey(Value(path), Value(NSFilePathErrorKey));
    if (posixError != 0) {
        Value underlying = Value::dictionary(
            { { Value(NSLocalizedDescriptionKey), Value(std::string(std::strerror(posixError))) } });
        info.setObjectForKey(
            Value(NSError::errorWithDomain(NSPOSIXErrorDomain, posixError, underlying)), Value(NSUnderlyingErrorKey));
    }
    return NSError::errorWithDomain(NSCocoaErrorDomain, code, info);
}

Ref<NSError> make(int posixError, Operation operation, const std::string& path)
{
    return make(cocoaCode(posixError, operation), posixError, path);
}

} // namespace FileErrors
