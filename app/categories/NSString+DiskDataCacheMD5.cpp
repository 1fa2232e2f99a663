#include "app/categories/NSString+DiskDataCacheMD5.h"

#include "foundation/CommonDigest.h"

namespace NSString_DiskDataCacheMD5 {

std::string ec_MD5(const std::string& string)
{
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5(string.data(), static_cast<uint32_t>(string.size()), digest);
    return CommonDigest::hexString(digest, sizeof digest);
}

} // namespace NSString_DiskDataCacheMD5
