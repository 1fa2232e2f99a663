#pragma once

#include "uikit/NSIndexPath.h"

#include <cstdint>
#include <utility>

// Helpers shared by the files that make up UITableView. Internal to platform/uikit.
namespace UITableViewInternal {

// The index path of a (section, row) path.
inline Ref<NSIndexPath> toIndexPath(std::pair<int32_t, int32_t> path)
{
    return NSIndexPath::indexPathForRowInSection(path.second, path.first);
}

} // namespace UITableViewInternal
