#pragma once

#include <string>

// The MD5 digest of a string's UTF-8 bytes as 32 lower-case hexadecimal digits; the disk
// cache names its files with it. Any thread.
namespace NSString_DiskDataCacheMD5 {

std::string ec_MD5(const std::string& string);

} // namespace NSString_DiskDataCacheMD5
