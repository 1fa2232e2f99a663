#include "uikit/UISectionedRows.h"

#include "foundation/NSException.h"

#include <string>

UISectionedRows::Counts UISectionedRows::countRows(
    int32_t sections, const std::function<int32_t(int32_t section)>& rowsInSection)
{
    Counts counts;
    for (int32_t s = 0; s < sections; ++s)
        counts.push_back(std::max(0, rowsInSection(s)));
    return counts;
}

int32_t UISectionedRows::rowsInSection(const Counts& counts, int32_t section)
{
    if (section < 0 || section >= int32_t(counts.size()))
        NSException::raise(NSRangeException,
            "section (" + std::to_string(section) + ") beyond bounds (" + std::to_string(counts.size()) + ")");
    return counts[size_t(section)];
}

std::optional<UISectionedRows::Path> UISectionedRows::existingPath(
    const Ref<NSIndexPath>& indexPath, const Counts& counts)
{
    if (!indexPath || indexPath->length() < 2)
        return std::nullopt;
    int32_t s = indexPath->section();
    int32_t r = indexPath->row();
    if (s < 0 || s >= int32_t(counts.size()) || r < 0 || r >= counts[size_t(s)])
        return std::nullopt;
    return Path { s, r };
}

void UISectionedRows::dropPathsBeyond(std::vector<Path>& paths, const Counts& counts)
{
    paths.erase(
        std::remove_if(paths.begin(), paths.end(),
            [&](const Path& p) { return p.first >= int32_t(counts.size()) || p.second >= counts[size_t(p.first)]; }),
        paths.end());
}

std::vector<Ref<NSIndexPath>> UISectionedRows::sortedIndexPaths(std::vector<Path> paths)
{
    std::sort(paths.begin(), paths.end());
    std::vector<Ref<NSIndexPath>> result;
    for (const Path& p : paths)
        result.push_back(indexPath(p));
    return result;
}
