#include "grid/datagrid/LDataGridHeaderMultiLineCell.h"

Ref<LDataGridHeaderMultiLineCell> LDataGridHeaderMultiLineCell::initWithReuseIdentifier(
    const std::string& reuseIdentifier)
{
    auto cell = makeTextInputCell<LDataGridHeaderMultiLineCell>(reuseIdentifier);
    cell->initialiseHeaderCell();
    return cell;
}
