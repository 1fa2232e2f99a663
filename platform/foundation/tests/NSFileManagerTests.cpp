#include "foundation/NSDataFile.h"
#include "foundation/NSDirectoryEnumerator.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSFileManagerErrors.h"
#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string read(const std::string& path)
{
    Value data = NSData::dataWithContentsOfFile(path);
    return std::string(data.bytes().begin(), data.bytes().end());
}

// The POSIX code inside a file error.
int32_t underlyingCode(const Ref<NSError>& error)
{
    auto underlying = error->userInfo()[NSUnderlyingErrorKey].objectAs<NSError>();
    return underlying ? underlying->code() : 0;
}

} // namespace

TEST(NSFileManager, OperationsReportThePlatformsErrorCodes)
{
    TemporarySandbox sandbox;
    auto fm = NSFileManager::defaultManager();
    const std::string dir = sandbox.path("Documents/a");
    const std::string file = dir + "/f.txt";
    ASSERT_TRUE(fm->createDirectoryAtPath(dir, false, {}, nullptr));
    ASSERT_TRUE(NSData::writeToFile(Value("hello"), file, true));

    struct Case {
        const char* what;
        std::function<bool(Ref<NSError>*)> operation;
        int32_t code;
        std::string errorPath;
        int32_t posix;
    };
    const std::string missing = sandbox.path("Documents/missing");
    const Case cases[] = {
        { "remove missing", [&](Ref<NSError>* e) { return fm->removeItemAtPath(missing, e); }, NSFileNoSuchFileError,
            missing, ENOENT },
        { "list missing", [&](Ref<NSError>* e) { return !fm->contentsOfDirectoryAtPath(missing, e).isNil(); },
            NSFileReadNoSuchFileError, missing, ENOENT },
        { "list a file", [&](Ref<NSError>* e) { return !fm->contentsOfDirectoryAtPath(file, e).isNil(); },
            NSFileReadNoSuchFileError, file, ENOTDIR },
        { "attributes of missing", [&](Ref<NSError>* e) { return !fm->attributesOfItemAtPath(missing, e).isNil(); },
            NSFileReadNoSuchFileError, missing, ENOENT },
        { "read missing", [&](Ref<NSError>* e) { return !NSData::dataWithContentsOfFile(missing, 0, e).isNil(); },
            NSFileReadNoSuchFileError, missing, ENOENT },
        { "mkdir existing", [&](Ref<NSError>* e) { return fm->createDirectoryAtPath(dir, false, {}, e); },
            NSFileWriteFileExistsError, dir, EEXIST },
        { "mkdir over a file", [&](Ref<NSError>* e) { return fm->createDirectoryAtPath(file, true, {}, e); },
            NSFileWriteFileExistsError, file, EEXIST },
        { "mkdir without parent",
            [&](Ref<NSError>* e) { return fm->createDirectoryAtPath(missing + "/x", false, {}, e); },
            NSFileNoSuchFileError, missing + "/x", ENOENT },
        { "copy onto existing", [&](Ref<NSError>* e) { return fm->copyItemAtPath(file, file, e); },
            NSFileWriteFileExistsError, file, EEXIST },
        { "copy missing", [&](Ref<NSError>* e) { return fm->copyItemAtPath(missing, missing + "2", e); },
            NSFileReadNoSuchFileError, missing, ENOENT },
        { "move onto existing", [&](Ref<NSError>* e) { return fm->moveItemAtPath(file, file, e); },
            NSFileWriteFileExistsError, file, EEXIST },
        { "copy into itself", [&](Ref<NSError>* e) { return fm->copyItemAtPath(dir, dir + "/inner", e); },
            NSFileWriteInvalidFileNameError, dir + "/inner", EINVAL },
        { "move into itself", [&](Ref<NSError>* e) { return fm->moveItemAtPath(dir, dir + "/inner", e); },
            NSFileWriteInvalidFileNameError, dir + "/inner", EINVAL },
        { "move missing", [&](Ref<NSError>* e) { return fm->moveItemAtPath(missing, missing + "2", e); },
            NSFileNoSuchFileError, missing, ENOENT },
        { "write exclusively",
            [&](Ref<NSError>* e) {
                return NSData::writeToFile(Value("x"), file, NSData::NSDataWritingWithoutOverwriting, e);
            },
            NSFileWriteFileExistsError, file, EEXIST },
        { "write into missing dir",
            [&](Ref<NSError>* e) {
                return NSData::writeToFile(Value("x"), missing + "/f", NSData::NSDataWritingAtomic, e);
            },
            NSFileNoSuchFileError, missing + "/f", ENOENT },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Ref<NSError> error;
        EXPECT_FALSE(c.operation(&error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
        EXPECT_EQ(error->code(), c.code);
        EXPECT_EQ(error->userInfo()[NSFilePathErrorKey].string(), c.errorPath);
        EXPECT_EQ(underlyingCode(error), c.posix);
        EXPECT_FALSE(c.operation(nullptr)); // no error slot is fine too
    }
    EXPECT_EQ(read(file), "hello"); // nothing above touched it
    EXPECT_FALSE(fm->fileExistsAtPath(dir + "/inner"));

    if (::geteuid() != 0) { // root ignores permissions
        const std::string locked = sandbox.path("Documents/locked");
        ASSERT_TRUE(fm->createDirectoryAtPath(
            locked, false, Value::dictionary({ { Value(NSFilePosixPermissions), Value(0500) } }), nullptr));
        Ref<NSError> error;
        EXPECT_FALSE(NSData::writeToFile(Value("x"), locked + "/f", NSData::NSDataWritingAtomic, &error));
        EXPECT_EQ(error->code(), NSFileWriteNoPermissionError);
        EXPECT_FALSE(fm->createDirectoryAtPath(locked + "/sub", false, {}, &error));
        EXPECT_EQ(error->code(), NSFileWriteNoPermissionError);
        fm->setAttributes(Value::dictionary({ { Value(NSFilePosixPermissions), Value(0700) } }), locked, nullptr);
    }
}

TEST(NSFileManager, CopiesMovesListsAndRemovesTrees)
{
    TemporarySandbox sandbox;
    auto fm = NSFileManager::defaultManager();
    const std::string root = sandbox.path("Library/Caches/tree");
    ASSERT_TRUE(fm->createDirectoryAtPath(
        root + "/b/deep", true, Value::dictionary({ { Value(NSFilePosixPermissions), Value(0750) } }), nullptr));
    ASSERT_TRUE(fm->createDirectoryAtPath(root + "/b/deep", true, {}, nullptr)); // existing is fine
    ASSERT_TRUE(fm->createFileAtPath(root + "/a.txt", Value("abc"), {}));
    ASSERT_TRUE(fm->createFileAtPath(root + "/b/deep/z", Value::data({ 0, 1 }), {}));
    ASSERT_TRUE(fm->createFileAtPath(root + "/b/empty", Value(), {}));
    ASSERT_EQ(::symlink("a.txt", (root + "/link").c_str()), 0);

    EXPECT_EQ(fm->attributesOfItemAtPath(root + "/b", nullptr)[NSFilePosixPermissions].intValue(), 0750);
    Value names = fm->contentsOfDirectoryAtPath(root, nullptr);
    EXPECT_TRUE(names.isEqual(Value::array({ Value("a.txt"), Value("b"), Value("link") }))) << names.description();

    auto walk = [&](const std::string& top) {
        std::vector<std::string> seen;
        auto enumerator = fm->enumeratorAtPath(top);
        EXPECT_TRUE(enumerator);
        while (Value next = enumerator->nextObject())
            seen.push_back(next.string() + ":" + enumerator->fileAttributes()[NSFileSize].stringValue() + ":"
                + std::to_string(enumerator->level()));
        return seen;
    };
    const std::vector<std::string> expected { "a.txt:3:1",
        "b:" + fm->attributesOfItemAtPath(root + "/b", nullptr)[NSFileSize].stringValue() + ":1",
        "b/deep:" + fm->attributesOfItemAtPath(root + "/b/deep", nullptr)[NSFileSize].stringValue() + ":2",
        "b/deep/z:2:3", "b/empty:0:2", "link:5:1" };
    EXPECT_EQ(walk(root), expected);
    EXPECT_EQ(fm->attributesOfItemAtPath(root + "/link", nullptr)[NSFileType].string(), NSFileTypeSymbolicLink);

    auto skipping = fm->enumeratorAtPath(root);
    std::vector<std::string> shallow;
    while (Value next = skipping->nextObject()) {
        shallow.push_back(next.string());
        if (next.string() == "b")
            skipping->skipDescendants();
    }
    EXPECT_EQ(shallow, (std::vector<std::string> { "a.txt", "b", "link" }));
    EXPECT_FALSE(fm->enumeratorAtPath(root + "/missing"));

    // Copy is deep and keeps links as links; move renames; remove takes the whole tree.
    ASSERT_TRUE(fm->copyItemAtPath(root, root + "-copy", nullptr));
    EXPECT_EQ(walk(root + "-copy"), expected);
    EXPECT_EQ(read(root + "-copy/link"), "abc");
    ASSERT_TRUE(fm->moveItemAtPath(root + "-copy", root + "-moved", nullptr));
    EXPECT_FALSE(fm->fileExistsAtPath(root + "-copy"));
    bool isDirectory = false;
    EXPECT_TRUE(fm->fileExistsAtPath(root + "-moved/b/deep", &isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_TRUE(fm->fileExistsAtPath(root + "-moved/a.txt", &isDirectory));
    EXPECT_FALSE(isDirectory);
    ASSERT_TRUE(fm->removeItemAtPath(root + "-moved", nullptr));
    EXPECT_FALSE(fm->fileExistsAtPath(root + "-moved"));
    EXPECT_EQ(fm->subpathsOfDirectoryAtPath(root, nullptr).count(), 6u);
}

TEST(NSFileManager, AttributesOfFilesAndFileSystems)
{
    TemporarySandbox sandbox;
    auto fm = NSFileManager::defaultManager();
    const std::string file = sandbox.path("Documents/f");
    ASSERT_TRUE(fm->createFileAtPath(
        file, Value("12345"), Value::dictionary({ { Value(NSFilePosixPermissions), Value(0640) } })));
    ASSERT_TRUE(fm->setAttributes(
        Value::dictionary({ { Value(NSFileModificationDate), Value::date(1000000000.5) } }), file, nullptr));
    Value attributes = fm->attributesOfItemAtPath(file, nullptr);
    EXPECT_EQ(attributes[NSFileSize].longLongValue(), 5);
    EXPECT_EQ(attributes[NSFileType].string(), NSFileTypeRegular);
    EXPECT_EQ(attributes[NSFilePosixPermissions].intValue(), 0640);
    EXPECT_TRUE(attributes[NSFileModificationDate].isDate());
    EXPECT_DOUBLE_EQ(attributes[NSFileModificationDate].dateValue(), 1000000000.5);

    Value system = fm->attributesOfFileSystemForPath(NSHomeDirectory(), nullptr);
    EXPECT_GT(system[NSFileSystemSize].longLongValue(), 0);
    EXPECT_GE(system[NSFileSystemFreeSize].longLongValue(), 0);
    EXPECT_LE(system[NSFileSystemFreeSize].longLongValue(), system[NSFileSystemSize].longLongValue());
    Ref<NSError> error;
    EXPECT_TRUE(fm->attributesOfFileSystemForPath(sandbox.path("nowhere"), &error).isNil());
    EXPECT_EQ(error->code(), NSFileReadNoSuchFileError);
}

TEST(NSFileManager, AtomicWritesReplaceWholeAndLeaveNoTemporaryFiles)
{
    TemporarySandbox sandbox;
    auto fm = NSFileManager::defaultManager();
    const std::string path = sandbox.path("Documents/state.bin");
    Value::Bytes big(300000, 0x5A);
    for (bool atomically : { true, false }) {
        SCOPED_TRACE(atomically);
        ASSERT_TRUE(NSData::writeToFile(Value::data(big), path, atomically));
        EXPECT_EQ(NSData::dataWithContentsOfFile(path).bytes(), big);
        ASSERT_TRUE(NSData::writeToFile(Value("short"), path, atomically));
        EXPECT_EQ(read(path), "short"); // shorter contents leave no tail behind
    }
    EXPECT_TRUE(fm->contentsOfDirectoryAtPath(sandbox.path("Documents"), nullptr)
                    .isEqual(Value::array({ Value("state.bin") })));
    mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fm->attributesOfItemAtPath(path, nullptr)[NSFilePosixPermissions].intValue(),
        static_cast<int32_t>(0666 & ~mask));
}

TEST(NSFileManager, TextFilesInEachEncoding)
{
    TemporarySandbox sandbox;
    const std::string path = sandbox.path("tmp/text");
    struct Case {
        uint32_t encoding;
        std::string text;
        bool writable;
    };
    const Case cases[] = {
        { NSString::FileEncodingUTF8, "caf\u00e9 \U0001F600", true },
        { NSString::FileEncodingUTF16, "caf\u00e9 \U0001F600", true },
        { NSString::FileEncodingISOLatin1, "caf\u00e9", true },
        { NSString::FileEncodingISOLatin1, "\u6f22", false },
        { NSString::FileEncodingASCII, "plain", true },
        { NSString::FileEncodingASCII, "caf\u00e9", false },
        { NSString::FileEncodingUTF8, "bad \xC3\x28", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Ref<NSError> error;
        EXPECT_EQ(NSString::writeToFile(c.text, path, true, c.encoding, &error), c.writable);
        if (!c.writable) {
            EXPECT_EQ(error->code(), NSFileWriteInapplicableStringEncodingError);
            continue;
        }
        EXPECT_EQ(NSString::stringWithContentsOfFile(path, c.encoding, &error).value_or("<nil>"), c.text);
    }
    NSData::writeToFile(Value::data({ 'a', 0xFF }), path, true);
    Ref<NSError> error;
    EXPECT_FALSE(NSString::stringWithContentsOfFile(path, NSString::FileEncodingUTF8, &error));
    EXPECT_EQ(error->code(), NSFileReadInapplicableStringEncodingError);
    EXPECT_EQ(NSString::stringWithContentsOfFile(path, NSString::FileEncodingISOLatin1).value_or(""), "a\u00ff");
}

TEST(Sandbox, StandardDirectoriesLiveUnderTheRoot)
{
    TemporarySandbox sandbox;
    EXPECT_EQ(NSHomeDirectory(), sandbox.root());
    EXPECT_EQ(NSTemporaryDirectory(), sandbox.root() + "/tmp/");
    struct Case {
        NSSearchPathDirectory directory;
        const char* relative;
        bool existsAtStart;
    };
    const Case cases[] = {
        { NSDocumentDirectory, "Documents", true },
        { NSLibraryDirectory, "Library", true },
        { NSCachesDirectory, "Library/Caches", true },
        { NSApplicationSupportDirectory, "Library/Application Support", false },
    };
    auto fm = NSFileManager::defaultManager();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relative);
        auto paths = NSSearchPathForDirectoriesInDomains(c.directory, NSUserDomainMask, true);
        ASSERT_EQ(paths.size(), 1u);
        EXPECT_EQ(paths.back(), sandbox.path(c.relative));
        EXPECT_EQ(fm->URLsForDirectory(c.directory, NSUserDomainMask), paths);
        EXPECT_EQ(fm->fileExistsAtPath(paths.back()), c.existsAtStart);
        EXPECT_EQ(NSSearchPathForDirectoriesInDomains(c.directory, NSUserDomainMask, false).back(),
            std::string("~/") + c.relative);
        EXPECT_TRUE(NSSearchPathForDirectoriesInDomains(c.directory, NSSystemDomainMask, true).empty());
    }
}

TEST(NSFileManager, PosixFailuresMapToCocoaCodes)
{
    // Permission and space failures cannot be provoked reliably here (tests may run as root on
    // a roomy disk), so check the mapping the operations share.
    using FileErrors::Operation;
    struct Case {
        int posix;
        Operation operation;
        int32_t code;
    };
    const Case cases[] = {
        { ENOENT, Operation::Read, NSFileReadNoSuchFileError },
        { ENOENT, Operation::Write, NSFileNoSuchFileError },
        { ENOENT, Operation::Remove, NSFileNoSuchFileError },
        { EACCES, Operation::Read, NSFileReadNoPermissionError },
        { EACCES, Operation::Write, NSFileWriteNoPermissionError },
        { EPERM, Operation::Remove, NSFileWriteNoPermissionError },
        { EEXIST, Operation::Write, NSFileWriteFileExistsError },
        { ENOSPC, Operation::Write, NSFileWriteOutOfSpaceError },
        { EDQUOT, Operation::Write, NSFileWriteOutOfSpaceError },
        { EROFS, Operation::Write, NSFileWriteVolumeReadOnlyError },
        { ENAMETOOLONG, Operation::Read, NSFileReadInvalidFileNameError },
        { EIO, Operation::Read, NSFileReadUnknownError },
        { EIO, Operation::Write, NSFileWriteUnknownError },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.posix);
        EXPECT_EQ(FileErrors::cocoaCode(c.posix, c.operation), c.code);
        auto error = FileErrors::make(c.posix, c.operation, "/p");
        EXPECT_EQ(error->code(), c.code);
        EXPECT_EQ(error->userInfo()[NSFilePathErrorKey].string(), "/p");
        EXPECT_EQ(underlyingCode(error), c.posix);
    }
}
