#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"
#include "grid/LGridRow.h"

// The coordinate of a cell (column and row) as clients see it: read-only for them. Only the
// engine moves one in place (mutateColumnTo, mutateRowTo), so a reused cell keeps its
// coordinate object. Owns its inside, an LGridCoordMutable. Main thread only.
class LGridCoord : public NSObject {
    VX_OBJECT(LGridCoord, NSObject)
public:
    explicit LGridCoord(Passkey);

    static Ref<LGridCoord> initWithColumnWithRow(int32_t column, LGridRow row);

    const Ref<LGridCoordMutable>& mutableGridCoord() const { return m_mutableGridCoord; }

    int32_t column() const;
    LGridRow row() const;
    int32_t rowIndex() const;
    int32_t section() const;

    bool hasColumn(int32_t column) const;
    bool hasRow(LGridRow row) const;
    bool hasSection(int32_t section) const;
    bool hasColumnAndRow(int32_t column, LGridRow row) const;
    bool hasColumnOrRow(int32_t column, LGridRow row) const;
    bool hasRowGreaterThanRow(LGridRow row) const;

    // Equal to itself and to another LGridCoord with the same column and row; never to an
    // LGridCoordMutable.
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    Ref<LGridCoord> copy() const;
    // A new mutable coordinate with the same values, owned by the caller.
    Ref<LGridCoordMutable> mutableCopy() const;

    void mutateColumnTo(int32_t column);
    void mutateRowTo(LGridRow row);

    // "{c:<column>,r:<index>,s:<section>}".
    std::string description() const override;

private:
    Ref<LGridCoordMutable> m_mutableGridCoord;
};
