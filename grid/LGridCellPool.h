#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"

#include <string>
#include <vector>

// Idle cells of one reuse identifier, shared by every grid in the process: the last cell
// returned is handed out first. Idle cells stay in their superview, hidden. Main thread only.
class LGridCellPool : public NSObject {
    VX_OBJECT(LGridCellPool, NSObject)
public:
    explicit LGridCellPool(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LGridCellPool> initWithIdentifier(const std::string& identifier);

    // The registry of pools by identifier; a pool is made on first request.
    static Ref<LGridCellPool> getSharedPoolForIdentifier(const std::string& identifier);
    static Ref<LGridCell> getCellWithIdentifier(const std::string& identifier);
    static void returnCell(const Ref<LGridCell>& cell);
    static bool containsObjectInSharedPool(const Ref<LGridCell>& cell);
    // Empties the registry: every pool and idle cell of every grid goes.
    static void reset();

    const std::string& identifier() const { return m_identifier; }
    void setIdentifier(const std::string& identifier) { m_identifier = identifier; }
    Ref<LGridCell> getCell();
    // A cell the pool holds already is not added twice: it would later be handed out for two
    // positions at once.
    void returnCellToPool(const Ref<LGridCell>& cell);
    bool containsObject(const Ref<LGridCell>& cell) const;
    size_t count() const { return m_sharedCells.size(); }

private:
    std::vector<Ref<LGridCell>> m_sharedCells;
    std::string m_identifier;
};
