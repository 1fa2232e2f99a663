#include "grid/LGridCellPool.h"

#include "foundation/ThreadChecks.h"
#include "grid/LGridCell.h"

#include <algorithm>
#include <map>

namespace {

// The registry of pools, shared by every grid in the process (main thread only).
std::map<std::string, Ref<LGridCellPool>>& registry()
{
    static std::map<std::string, Ref<LGridCellPool>> s_pools;
    return s_pools;
}

} // namespace

Ref<LGridCellPool> LGridCellPool::initWithIdentifier(const std::string& identifier)
{
    auto pool = make<LGridCellPool>();
    pool->m_identifier = identifier;
    return pool;
}

Ref<LGridCellPool> LGridCellPool::getSharedPoolForIdentifier(const std::string& identifier)
{
    assertIsMainThread();
    auto& pools = registry();
    auto found = pools.find(identifier);
    if (found != pools.end())
        return found->second;
    auto pool = initWithIdentifier(identifier);
    pools.emplace(identifier, pool);
    return pool;
}

Ref<LGridCell> LGridCellPool::getCellWithIdentifier(const std::string& identifier)
{
    return getSharedPoolForIdentifier(identifier)->getCell();
}

void LGridCellPool::returnCell(const Ref<LGridCell>& cell)
{
    if (cell)
        getSharedPoolForIdentifier(cell->reuseIdentifier())->returnCellToPool(cell);
}

bool LGridCellPool::containsObjectInSharedPool(const Ref<LGridCell>& cell)
{
    return cell && getSharedPoolForIdentifier(cell->reuseIdentifier())->containsObject(cell);
}

void LGridCellPool::reset()
{
    assertIsMainThread();
    // Moved out first: releasing cells may run code that asks for a pool again.
    auto pools = std::move(registry());
    registry().clear();
}

Ref<LGridCell> LGridCellPool::getCell()
{
    if (m_sharedCells.empty())
        return nullptr;
    auto cell = m_sharedCells.back();
    cell->setGridCoord(nullptr);
    m_sharedCells.pop_back();
    cell->setHidden(false);
    return cell;
}

void LGridCellPool::returnCellToPool(const Ref<LGridCell>& cell)
{
    if (!cell || containsObject(cell))
        return;
    m_sharedCells.push_back(cell);
    cell->setHidden(true);
    cell->resetForReuse();
}

bool LGridCellPool::containsObject(const Ref<LGridCell>& cell) const
{
    return std::find(m_sharedCells.begin(), m_sharedCells.end(), cell) != m_sharedCells.end();
}
