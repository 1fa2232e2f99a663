#include "foundation/NSFileManager.h"

#include "foundation/NSDataFile.h"
#include "foundation/NSDirectoryEnumerator.h"
#include "foundation/NSFileManagerErrors.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using FileErrors::Operation;

namespace {

// Entry names of a directory in name order; nullopt with errno set on failure.
std::optional<std::vector<std::string>> listDirectory(const std::string& path)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

const char* fileTypeName(mode_t mode)
{
    if (S_ISDIR(mode))
        return NSFileTypeDirectory;
    if (S_ISREG(mode))
        return NSFileTypeRegular;
    if (S_ISLNK(mode))
        return NSFileTypeSymbolicLink;
    if (S_ISSOCK(mode))
        return NSFileTypeSocket;
    if (S_ISCHR(mode))
        return NSFileTypeCharacterSpecial;
    if (S_ISBLK(mode))
        return NSFileTypeBlockSpecial;
    return NSFileTypeUnknown;
}

Value attributesFromStat(const struct stat& st)
{
    double modified = static_cast<double>(st.st_mtim.tv_sec) + st.st_mtim.tv_nsec / 1e9;
    return Value::dictionary({
        { Value(NSFileType), Value(fileTypeName(st.st_mode)) },
        { Value(NSFileSize), Value(static_cast<uint64_t>(st.st_size)) },
        { Value(NSFileModificationDate), Value::date(modified) },
        { Value(NSFilePosixPermissions), Value(static_cast<int32_t>(st.st_mode & 07777)) },
        { Value(NSFileReferenceCount), Value(static_cast<uint64_t>(st.st_nlink)) },
        { Value(NSFileOwnerAccountID), Value(static_cast<uint32_t>(st.st_uid)) },
        { Value(NSFileGroupOwnerAccountID), Value(static_cast<uint32_t>(st.st_gid)) },
        { Value(NSFileSystemNumber), Value(static_cast<uint64_t>(st.st_dev)) },
        { Value(NSFileSystemFileNumber), Value(static_cast<uint64_t>(st.st_ino)) },
    });
}

std::string parentOf(const std::string& path)
{
    size_t end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return "/";
    size_t slash = path.rfind('/', end);
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Removes a tree without following links; answers 0 or the first errno met.
int removeTree(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode)) {
        auto names = listDirectory(path);
        if (!names)
            return errno;
        for (const auto& name : *names) {
            if (int err = removeTree(path + "/" + name))
                return err;
        }
        return ::rmdir(path.c_str()) == 0 ? 0 : errno;
    }
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

struct CopyFailure {
    int posixError;
    Operation operation;
    std::string path;
};

std::optional<CopyFailure> copyFile(const std::string& source, const std::string& destination, mode_t mode)
{
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return CopyFailure { errno, Operation::Read, source };
    int out = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
    if (out < 0) {
        int err = errno;
        ::close(in);
        return CopyFailure { err, Operation::Write, destination };
    }
    std::optional<CopyFailure> failure;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(in, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failure = CopyFailure { errno, Operation::Read, source };
            break;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0) {
                failure = CopyFailure { errno, Operation::Write, destination };
                break;
            }
            done += w;
        }
        if (failure)
            break;
    }
    ::close(in);
    if (::close(out) != 0 && !failure)
        failure = CopyFailure { errno, Operation::Write, destination };
    return failure;
}

std::optional<CopyFailure> copyTree(const std::string& source, const std::string& destination)
{
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0)
        return CopyFailure { errno, Operation::Read, source };
    if (S_ISLNK(st.st_mode)) {
        std::string target(PATH_MAX, '\0');
        ssize_t n = ::readlink(source.c_str(), target.data(), target.size());
        if (n < 0)
            return CopyFailure { errno, Operation::Read, source };
        target.resize(static_cast<size_t>(n));
        if (::symlink(target.c_str(), destination.c_str()) != 0)
            return CopyFailure { errno, Operation::Write, destination };
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode)) {
        if (::mkdir(destination.c_str(), (st.st_mode & 07777) | S_IRWXU) != 0)
            return CopyFailure { errno, Operation::Write, destination };
        auto names = listDirectory(source);
        if (!names)
            return CopyFailure { errno, Operation::Read, source };
        for (const auto& name : *names) {
            if (auto failure = copyTree(source + "/" + name, destination + "/" + name))
                return failure;
        }
        ::chmod(destination.c_str(), st.st_mode & 07777);
        return std::nullopt;
    }
    if (S_ISREG(st.st_mode))
        return copyFile(source, destination, st.st_mode);
    return CopyFailure { ENOTSUP, Operation::Read, source };
}

// Whether `path` (which need not exist) lies inside directory `directory`, links resolved.
bool isInside(const std::string& path, const std::string& directory)
{
    char resolvedDirectory[PATH_MAX];
    char resolvedParent[PATH_MAX];
    if (!::realpath(directory.c_str(), resolvedDirectory) || !::realpath(parentOf(path).c_str(), resolvedParent))
        return false;
    std::string parent = std::string(resolvedParent) + "/";
    std::string dir = std::string(resolvedDirectory) + "/";
    return parent.compare(0, dir.size(), dir) == 0;
}

bool lexists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

Ref<NSError> twoPathError(int32_t code, int posixError, const std::string& source, const std::string& destination,
    const std::string& failedPath)
{
    Ref<NSError> base = FileErrors::make(code, posixError, failedPath);
    Value info = base->userInfo().mutableCopy();
    info.setObjectForKey(Value(source), Value("NSSourceFilePathErrorKey"));
    info.setObjectForKey(Value(destination), Value("NSDestinationFilePath"));
    return NSError::errorWithDomain(NSCocoaErrorDomain, code, info);
}

} // namespace

Ref<NSFileManager> NSFileManager::defaultManager()
{
    static const Ref<NSFileManager> s_manager = make<NSFileManager>();
    return s_manager;
}

bool NSFileManager::fileExistsAtPath(const std::string& path) const
{
    return fileExistsAtPath(path, nullptr);
}

bool NSFileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const
{
    struct stat st;
    bool exists = !path.empty() && ::stat(path.c_str(), &st) == 0;
    if (isDirectory)
        *isDirectory = exists && S_ISDIR(st.st_mode);
    return exists;
}

bool NSFileManager::createDirectoryAtPath(
    const std::string& path, bool withIntermediateDirectories, const Value& attributes, Ref<NSError>* error)
{
    if (path.empty())
        return FileErrors::fail(error, FileErrors::make(NSFileWriteInvalidFileNameError, 0, path));
    const Value& permissions = attributes[NSFilePosixPermissions];
    mode_t mode = permissions.isNumber() ? static_cast<mode_t>(permissions.intValue() & 07777) : 0777;

    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (withIntermediateDirectories && S_ISDIR(st.st_mode))
            return true;
        return FileErrors::fail(error, FileErrors::make(EEXIST, Operation::Write, path));
    }
    if (withIntermediateDirectories) {
        std::string parent = parentOf(path);
        if (parent != path && !fileExistsAtPath(parent)) {
            if (!createDirectoryAtPath(parent, true, attributes, error))
                return false;
        }
    }
    if (::mkdir(path.c_str(), mode) != 0) {
        if (errno == EEXIST && withIntermediateDirectories && fileExistsAtPath(path))
            return true; // made by someone else meanwhile
        return FileErrors::fail(error, FileErrors::make(errno, Operation::Write, path));
    }
    if (permissions.isNumber())
        ::chmod(path.c_str(), mode); // mkdir applies the umask; an explicit mode is exact
    return true;
}

bool NSFileManager::createFileAtPath(const std::string& path, const Value& data, const Value& attributes)
{
    if (!NSData::writeToFile(data.isNil() ? Value::data({}) : data, path, NSData::NSDataWritingAtomic, nullptr))
        return false;
    if (attributes.isDictionary() && attributes.count() > 0)
        setAttributes(attributes, path, nullptr);
    return true;
}

Value NSFileManager::contentsAtPath(const std::string& path) const
{
    return NSData::dataWithContentsOfFile(path);
}

Value NSFileManager::contentsOfDirectoryAtPath(const std::string& path, Ref<NSError>* error) const
{
    auto names = listDirectory(path);
    if (!names) {
        FileErrors::fail(error, FileErrors::make(errno, Operation::Read, path));
        return {};
    }
    std::vector<Value> values(names->begin(), names->end());
    return Value::array(std::move(values));
}

Ref<NSDirectoryEnumerator> NSFileManager::enumeratorAtPath(const std::string& path) const
{
    return NSDirectoryEnumerator::initWithPath(path);
}

Value NSFileManager::subpathsOfDirectoryAtPath(const std::string& path, Ref<NSError>* error) const
{
    bool isDirectory = false;
    if (!fileExistsAtPath(path, &isDirectory) || !isDirectory) {
        FileErrors::fail(
            error, FileErrors::make(isDirectory ? EACCES : (lexists(path) ? ENOTDIR : ENOENT), Operation::Read, path));
        return {};
    }
    auto enumerator = enumeratorAtPath(path);
    if (!enumerator) {
        FileErrors::fail(error, FileErrors::make(EACCES, Operation::Read, path));
        return {};
    }
    std::vector<Value> paths;
    while (Value next = enumerator->nextObject())
        paths.push_back(next);
    return Value::array(std::move(paths));
}

bool NSFileManager::moveItemAtPath(const std::string& source, const std::string& destination, Ref<NSError>* error)
{
    if (!lexists(source))
        return FileErrors::fail(error, twoPathError(NSFileNoSuchFileError, ENOENT, source, destination, source));
    if (lexists(destination))
        return FileErrors::fail(
            error, twoPathError(NSFileWriteFileExistsError, EEXIST, source, destination, destination));
    if (::rename(source.c_str(), destination.c_str()) == 0)
        return true;
    if (errno != EXDEV) {
        int err = errno;
        return FileErrors::fail(
            error, twoPathError(FileErrors::cocoaCode(err, Operation::Write), err, source, destination, destination));
    }
    if (!copyItemAtPath(source, destination, error))
        return false;
    if (int err = removeTree(source)) {
        // The copy is complete; leave the source rather than lose either.
        return FileErrors::fail(
            error, twoPathError(FileErrors::cocoaCode(err, Operation::Remove), err, source, destination, source));
    }
    return true;
}

bool NSFileManager::copyItemAtPath(const std::string& source, const std::string& destination, Ref<NSError>* error)
{
    if (!lexists(source))
        return FileErrors::fail(error, twoPathError(NSFileReadNoSuchFileError, ENOENT, source, destination, source));
    if (lexists(destination))
        return FileErrors::fail(
            error, twoPathError(NSFileWriteFileExistsError, EEXIST, source, destination, destination));
    if (isInside(destination, source)) {
        // Copying a directory into itself would never end.
        return FileErrors::fail(
            error, twoPathError(NSFileWriteInvalidFileNameError, EINVAL, source, destination, destination));
    }
    if (auto failure = copyTree(source, destination)) {
        removeTree(destination);
        int32_t code = FileErrors::cocoaCode(failure->posixError, failure->operation);
        return FileErrors::fail(error, twoPathError(code, failure->posixError, source, destination, failure->path));
    }
    return true;
}

bool NSFileManager::removeItemAtPath(const std::string& path, Ref<NSError>* error)
{
    if (path.empty())
        return FileErrors::fail(error, FileErrors::make(NSFileNoSuchFileError, ENOENT, path));
    if (int err = removeTree(path))
        return FileErrors::fail(error, FileErrors::make(err, Operation::Remove, path));
    return true;
}

Value NSFileManager::attributesOfItemAtPath(const std::string& path, Ref<NSError>* error) const
{
    struct stat st;
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) {
        FileErrors::fail(error, FileErrors::make(path.empty() ? ENOENT : errno, Operation::Read, path));
        return {};
    }
    return attributesFromStat(st);
}

Value NSFileManager::attributesOfFileSystemForPath(const std::string& path, Ref<NSError>* error) const
{
    struct statvfs vfs;
    struct stat st;
    if (path.empty() || ::statvfs(path.c_str(), &vfs) != 0 || ::stat(path.c_str(), &st) != 0) {
        FileErrors::fail(error, FileErrors::make(path.empty() ? ENOENT : errno, Operation::Read, path));
        return {};
    }
    uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    return Value::dictionary({
        { Value(NSFileSystemSize), Value(static_cast<uint64_t>(vfs.f_blocks) * unit) },
        { Value(NSFileSystemFreeSize), Value(static_cast<uint64_t>(vfs.f_bavail) * unit) },
        { Value(NSFileSystemNodes), Value(static_cast<uint64_t>(vfs.f_files)) },
        { Value(NSFileSystemFreeNodes), Value(static_cast<uint64_t>(vfs.f_favail)) },
        { Value(NSFileSystemNumber), Value(static_cast<uint64_t>(st.st_dev)) },
    });
}

bool NSFileManager::setAttributes(const Value& attributes, const std::string& path, Ref<NSError>* error)
{
    if (!lexists(path))
        return FileErrors::fail(error, FileErrors::make(ENOENT, Operation::Write, path));
    const Value& permissions = attributes[NSFilePosixPermissions];
    if (permissions.isNumber() && ::chmod(path.c_str(), static_cast<mode_t>(permissions.intValue() & 07777)) != 0)
        return FileErrors::fail(error, FileErrors::make(errno, Operation::Write, path));
    const Value& modified = attributes[NSFileModificationDate];
    if (modified.isDate()) {
        double t = modified.dateValue();
        double whole = std::floor(t);
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(whole);
        times[1].tv_nsec = static_cast<long>((t - whole) * 1e9);
        if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
            return FileErrors::fail(error, FileErrors::make(errno, Operation::Write, path));
    }
    return true;
}

std::vector<std::string> NSFileManager::URLsForDirectory(
    NSSearchPathDirectory directory, NSSearchPathDomainMask domainMask) const
{
    return NSSearchPathForDirectoriesInDomains(directory, domainMask, true);
}

VX_REGISTER_CLASS(NSFileManager);
