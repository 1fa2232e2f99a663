#include "grid/datagrid/LDataGridHeaderCell.h"

Ref<LDataGridHeaderCell> LDataGridHeaderCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeTextInputCell<LDataGridHeaderCell>(reuseIdentifier);
    cell->initialiseHeaderCell();
    return cell;
}
