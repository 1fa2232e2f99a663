#include "grid/datagrid/LDataGridCell.h"

#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "grid/LGridCellStyle.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridHeaderCell.h"
#include "grid/datagrid/LDataGridHeaderMultiLineCell.h"
#include "grid/datagrid/LDataGridMultiLineTextCell.h"
#include "grid/datagrid/LDataGridTextCell.h"
#include "grid/datagrid/LDataGridTheme.h"

#include <map>

namespace {

struct CellClassEntry {
    LDataGridCell::Factory factory;
    bool adoptsHeaderCellProtocol;
};

std::map<Class, CellClassEntry>& cellClasses()
{
    static std::map<Class, CellClassEntry> s_classes;
    return s_classes;
}

void registerBuiltInCellClasses();

const CellClassEntry* entryFor(Class cls)
{
    registerBuiltInCellClasses();
    auto& classes = cellClasses();
    for (Class c = cls; c; c = c->superclass) {
        auto found = classes.find(c);
        if (found != classes.end())
            return &found->second;
    }
    return nullptr;
}

// The data grid's own cell classes, registered before the first lookup.
void registerBuiltInCellClasses()
{
    static const bool s_registered = [] {
        auto& classes = cellClasses();
        classes[LDataGridCell::classObject()] = { &LDataGridCell::initWithReuseIdentifier, false };
        classes[LDataGridTextInputCell::classObject()] = { &LDataGridTextInputCell::initWithReuseIdentifier, false };
        classes[LDataGridTextCell::classObject()] = { &LDataGridTextCell::initWithReuseIdentifier, false };
        classes[LDataGridMultiLineTextCell::classObject()]
            = { &LDataGridMultiLineTextCell::initWithReuseIdentifier, false };
        classes[LDataGridHeaderCell::classObject()] = { &LDataGridHeaderCell::initWithReuseIdentifier, true };
        classes[LDataGridHeaderMultiLineCell::classObject()]
            = { &LDataGridHeaderMultiLineCell::initWithReuseIdentifier, true };
        return true;
    }();
    (void)s_registered;
}

} // namespace

LDataGridCell::~LDataGridCell() = default;

Ref<LDataGridCell> LDataGridCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    return makeDataGridCell<LDataGridCell>(reuseIdentifier);
}

void LDataGridCell::registerCellClass(Class cls, Factory factory, bool adoptsHeaderCellProtocol)
{
    registerBuiltInCellClasses();
    if (cls)
        cellClasses()[cls] = CellClassEntry { std::move(factory), adoptsHeaderCellProtocol };
}

Ref<LDataGridCell> LDataGridCell::makeCellOfClass(Class cls, const std::string& reuseIdentifier)
{
    auto* entry = entryFor(cls);
    return entry && entry->factory ? entry->factory(reuseIdentifier) : nullptr;
}

bool LDataGridCell::classAdoptsHeaderCellProtocol(Class cls)
{
    registerBuiltInCellClasses();
    auto& classes = cellClasses();
    for (Class c = cls; c; c = c->superclass) {
        auto found = classes.find(c);
        if (found != classes.end() && found->second.adoptsHeaderCellProtocol)
            return true;
    }
    return false;
}

void LDataGridCell::initialiseDataGridCell(const std::string& reuseIdentifier)
{
    initialiseCell(reuseIdentifier);
    m_internalCell = makeInternalCell(reuseIdentifier);
    m_internalCell->setFitSubviewsToView(false);
    UIView::addSubview(m_internalCell);
    // The internal cell paints the cell; the wrapper itself stays see-through.
    setBackgroundColorPrivately(UIColor::clearColor());
}

Ref<LGridCell> LDataGridCell::makeInternalCell(const std::string& reuseIdentifier) const
{
    return LGridCell::initWithReuseIdentifier(reuseIdentifier);
}

void LDataGridCell::setCoordinate(const Ref<LDataGridCoord>& coordinate)
{
    if (m_dataCoord == coordinate)
        return;
    m_dataCoord = coordinate;
}

void LDataGridCell::shareEngineStateWithInternalCell()
{
    if (!m_internalCell)
        return;
    m_internalCell->setOwningLayer(owningLayer());
    if (gridCoord())
        m_internalCell->setGridCoord(gridCoord());
}

void LDataGridCell::applyStyle(const Ref<LGridCellStyle>& style)
{
    if (!m_internalCell)
        return;
    auto merged = LGridCellStyle::init();
    if (auto theme = LDataGridTheme::defaultRowStyle())
        merged->overrideWithStyle(theme->cellStyle());
    if (style)
        merged->overrideWithStyle(style);
    shareEngineStateWithInternalCell();
    m_internalCell->applyStyle(merged);
}

void LDataGridCell::respondToEditEvent()
{
    if (!m_internalCell)
        return;
    shareEngineStateWithInternalCell();
    m_internalCell->respondToEditEvent();
}

void LDataGridCell::recordDeselectedStyle()
{
    if (!m_internalCell)
        return;
    m_internalCell->recordDeselectedStyle();
    setDeselectedStyle(m_internalCell->deselectedStyle());
}

void LDataGridCell::resetForReuse()
{
    LGridCell::resetForReuse();
    if (!m_internalCell)
        return;
    m_internalCell->resetForReuse();
    m_internalCell->setFitSubviewsToView(false);
}

void LDataGridCell::setSelectedAnimatedNeedsDelegateCallBacksFor(bool selected, bool animated, int32_t level)
{
    auto style = LGridCellStyle::init();
    if (auto theme = LDataGridTheme::defaultSelectedCellStyle())
        style->overrideWithStyle(theme->cellStyle());
    setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(selected, animated, style, level);
}

void LDataGridCell::setFrame(CGRect frame)
{
    LGridCell::setFrame(frame);
    if (m_internalCell)
        m_internalCell->setFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
}

void LDataGridCell::setBounds(CGRect bounds)
{
    UIView::setBounds(bounds);
    if (m_internalCell)
        m_internalCell->setBounds(bounds);
}

void LDataGridCell::setBackgroundColor(const Ref<UIColor>& color)
{
    if (m_internalCell)
        m_internalCell->setBackgroundColor(color);
}

Ref<UIColor> LDataGridCell::backgroundColor() const
{
    return m_internalCell ? m_internalCell->backgroundColor() : nullptr;
}

void LDataGridCell::addSubview(const Ref<UIView>& view)
{
    if (m_internalCell)
        m_internalCell->addSubview(view);
}

const std::vector<Ref<UIView>>& LDataGridCell::subviews() const
{
    return m_internalCell ? m_internalCell->subviews() : UIView::subviews();
}

bool LDataGridCell::fitSubviewsToView() const
{
    return m_internalCell && m_internalCell->fitSubviewsToView();
}

void LDataGridCell::setFitSubviewsToView(bool fit)
{
    if (m_internalCell)
        m_internalCell->setFitSubviewsToView(fit);
}

bool LDataGridCell::resignFirstResponder()
{
    LGridCell::resignFirstResponder();
    return m_internalCell ? m_internalCell->resignFirstResponder() : false;
}

std::string LDataGridCell::description() const
{
    CGRect f = frame();
    std::string frameText
        = NSString::stringWithFormat("{{%g, %g}, {%g, %g}}", f.origin.x, f.origin.y, f.size.width, f.size.height);
    return NSString::stringWithFormat("%@: %p; frame = %@; coordinate = %@", className(),
        static_cast<const void*>(this), frameText, m_dataCoord ? m_dataCoord->description() : std::string("(null)"));
}
