#pragma once

#include "foundation/NSObject.h"
#include "foundation/Sandbox.h"
#include "foundation/Value.h"

#include <string>
#include <vector>

class NSDirectoryEnumerator;

// Files and directories, with the platform's error reporting: a failing operation answers
// NO/nil and, when `error` is given, an NSError in "NSCocoaErrorDomain" whose user info holds
// the path ("NSFilePath") and the POSIX error ("NSUnderlyingError", "NSPOSIXErrorDomain").
// Paths are plain file-system paths; "URL" operations answer paths too. Any thread.
class NSFileManager : public NSObject {
    VX_OBJECT(NSFileManager, NSObject)
public:
    explicit NSFileManager(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSFileManager> defaultManager();

    bool fileExistsAtPath(const std::string& path) const;
    // Follows a final symbolic link; `isDirectory` (nullable) tells whether it is a directory.
    bool fileExistsAtPath(const std::string& path, bool* isDirectory) const;

    // With intermediates, existing directories are fine and missing parents are made; without,
    // an existing item fails with NSFileWriteFileExistsError and a missing parent with
    // NSFileNoSuchFileError. "NSFilePosixPermissions" in `attributes` sets each new
    // directory's mode.
    bool createDirectoryAtPath(
        const std::string& path, bool withIntermediateDirectories, const Value& attributes, Ref<NSError>* error);
    // Writes `data` (nil makes an empty file) atomically; answers whether it worked.
    bool createFileAtPath(const std::string& path, const Value& data, const Value& attributes);
    // The file's bytes as data, nil when it cannot be read.
    Value contentsAtPath(const std::string& path) const;

    // Names of the entries (not "." or ".."), sorted; nil on failure.
    Value contentsOfDirectoryAtPath(const std::string& path, Ref<NSError>* error) const;
    // Walks the tree below `path` depth first; nil when `path` is not a readable directory.
    Ref<NSDirectoryEnumerator> enumeratorAtPath(const std::string& path) const;
    // Every entry below `path` as a relative path, in the enumerator's order; nil on failure.
    Value subpathsOfDirectoryAtPath(const std::string& path, Ref<NSError>* error) const;

    // The destination must not exist (NSFileWriteFileExistsError). Moves across file systems
    // copy then remove.
    bool moveItemAtPath(const std::string& source, const std::string& destination, Ref<NSError>* error);
    // Copies files, directories (recursively) and symbolic links; a failed copy leaves nothing
    // behind at the destination.
    bool copyItemAtPath(const std::string& source, const std::string& destination, Ref<NSError>* error);
    // Removes a file, a link or a whole directory tree.
    bool removeItemAtPath(const std::string& path, Ref<NSError>* error);

    // "NSFileSize", "NSFileModificationDate", "NSFileType", "NSFilePosixPermissions",
    // "NSFileReferenceCount", "NSFileOwnerAccountID", "NSFileGroupOwnerAccountID",
    // "NSFileSystemNumber", "NSFileSystemFileNumber". Does not follow a final link.
    Value attributesOfItemAtPath(const std::string& path, Ref<NSError>* error) const;
    // "NSFileSystemSize", "NSFileSystemFreeSize" (bytes available to the user),
    // "NSFileSystemNodes", "NSFileSystemFreeNodes", "NSFileSystemNumber".
    Value attributesOfFileSystemForPath(const std::string& path, Ref<NSError>* error) const;
    // Applies "NSFilePosixPermissions" and "NSFileModificationDate"; other keys are ignored.
    bool setAttributes(const Value& attributes, const std::string& path, Ref<NSError>* error);

    // The sandbox directories of that kind (as paths), as NSSearchPathForDirectoriesInDomains
    // gives them with tilde expansion.
    std::vector<std::string> URLsForDirectory(NSSearchPathDirectory directory, NSSearchPathDomainMask domainMask) const;
};

// Error codes of "NSCocoaErrorDomain" for file operations.
inline constexpr int32_t NSFileNoSuchFileError = 4;
inline constexpr int32_t NSFileLockingError = 255;
inline constexpr int32_t NSFileReadUnknownError = 256;
inline constexpr int32_t NSFileReadNoPermissionError = 257;
inline constexpr int32_t NSFileReadInvalidFileNameError = 258;
inline constexpr int32_t NSFileReadCorruptFileError = 259;
inline constexpr int32_t NSFileReadNoSuchFileError = 260;
inline constexpr int32_t NSFileReadInapplicableStringEncodingError = 261;
inline constexpr int32_t NSFileReadTooLargeError = 263;
inline constexpr int32_t NSFileWriteUnknownError = 512;
inline constexpr int32_t NSFileWriteNoPermissionError = 513;
inline constexpr int32_t NSFileWriteInvalidFileNameError = 514;
inline constexpr int32_t NSFileWriteFileExistsError = 516;
inline constexpr int32_t NSFileWriteInapplicableStringEncodingError = 517;
inline constexpr int32_t NSFileWriteOutOfSpaceError = 640;
inline constexpr int32_t NSFileWriteVolumeReadOnlyError = 642;

// Attribute keys and file types.
inline constexpr const char* NSFileSize = "NSFileSize";
inline constexpr const char* NSFileModificationDate = "NSFileModificationDate";
inline constexpr const char* NSFileType = "NSFileType";
inline constexpr const char* NSFilePosixPermissions = "NSFilePosixPermissions";
inline constexpr const char* NSFileReferenceCount = "NSFileReferenceCount";
inline constexpr const char* NSFileOwnerAccountID = "NSFileOwnerAccountID";
inline constexpr const char* NSFileGroupOwnerAccountID = "NSFileGroupOwnerAccountID";
inline constexpr const char* NSFileSystemNumber = "NSFileSystemNumber";
inline constexpr const char* NSFileSystemFileNumber = "NSFileSystemFileNumber";
inline constexpr const char* NSFileTypeDirectory = "NSFileTypeDirectory";
inline constexpr const char* NSFileTypeRegular = "NSFileTypeRegular";
inline constexpr const char* NSFileTypeSymbolicLink = "NSFileTypeSymbolicLink";
inline constexpr const char* NSFileTypeSocket = "NSFileTypeSocket";
inline constexpr const char* NSFileTypeCharacterSpecial = "NSFileTypeCharacterSpecial";
inline constexpr const char* NSFileTypeBlockSpecial = "NSFileTypeBlockSpecial";
inline constexpr const char* NSFileTypeUnknown = "NSFileTypeUnknown";
inline constexpr const char* NSFileSystemSize = "NSFileSystemSize";
inline constexpr const char* NSFileSystemFreeSize = "NSFileSystemFreeSize";
inline constexpr const char* NSFileSystemNodes = "NSFileSystemNodes";
inline constexpr const char* NSFileSystemFreeNodes = "NSFileSystemFreeNodes";
