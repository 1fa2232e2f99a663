#include "grid/LGridTextInputCell.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDelegate.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"
#include "uikit/UIScrollView.h"

LGridTextInputCell::~LGridTextInputCell() = default;

void LGridTextInputCell::initialiseTextInputCell(const std::string& reuseIdentifier)
{
    initialiseCell(reuseIdentifier);
    m_contentInset = UIEdgeInsets { 5, 5, 5, 5 };
}

Ref<UIView> LGridTextInputCell::textInput() const
{
    LatticeGridLog::fatalLogMessageFromSource("This class is not intended for use. Must use subclass.", this);
    return nullptr;
}

std::string LGridTextInputCell::text() const
{
    LatticeGridLog::fatalLogMessageFromSource("This class is not intended for use. Must use subclass.", this);
    return {};
}

void LGridTextInputCell::setText(const std::string&)
{
    LatticeGridLog::fatalLogMessageFromSource("This class is not intended for use. Must use subclass.", this);
}

void LGridTextInputCell::setupTextInput(const Ref<UIView>& input)
{
    if (!input)
        return;
    input->setBackgroundColor(UIColor::clearColor());
    setTextColorPrivately(UIColor::whiteColor());
    setFontPrivately(UIFont::fontWithNameSize("EuphemiaUCAS", 17));
    prepareToAcceptEditEvents(false);
}

void LGridTextInputCell::setTextColorPrivately(const Ref<UIColor>& color)
{
    bool own = m_useOwnTextColour;
    setInputTextColor(color);
    m_useOwnTextColour = own;
}

void LGridTextInputCell::setFontPrivately(const Ref<UIFont>& font)
{
    bool own = m_useOwnFont;
    setInputFont(font);
    m_useOwnFont = own;
}

void LGridTextInputCell::setTextAlignmentPrivately(int32_t alignment)
{
    bool own = m_useOwnTextAlignment;
    setInputTextAlignment(alignment);
    m_useOwnTextAlignment = own;
}

void LGridTextInputCell::addObserversTo(const Ref<UIView>& input)
{
    if (!input)
        return;
    for (const char* key : { "textColor", "font", "textAlignment" })
        input->addObserver(self<LGridTextInputCell>(), key, NSObject::NSKeyValueObservingOptionNew, nullptr);
}

void LGridTextInputCell::removeObserversFrom(const Ref<UIView>& input)
{
    if (!input)
        return;
    for (const char* key : { "textColor", "font", "textAlignment" })
        input->removeObserver(self<LGridTextInputCell>(), key);
}

void LGridTextInputCell::observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value&, void*)
{
    if (keyPath == "textColor")
        m_useOwnTextColour = true;
    else if (keyPath == "font")
        m_useOwnFont = true;
    else if (keyPath == "textAlignment")
        m_useOwnTextAlignment = true;
}

// Styles

Ref<LGridCellStyle> LGridTextInputCell::currentStyle() const
{
    auto style = LGridCell::currentStyle();
    if (m_useOwnTextColour)
        style->setTextColor(inputTextColor());
    if (m_useOwnFont)
        style->setFont(inputFont());
    if (m_useOwnTextAlignment)
        style->setTextAlignment(inputTextAlignment());
    // The cell's own inset is not chosen, so any style that sets one wins over it.
    style->setContentInset(m_contentInset);
    style->setContentInsetSetByUser(false);
    if (selected()) {
        auto selectedStyle = const_cast<LGridTextInputCell*>(this)->selectedStyle();
        style->setFont(selectedStyle->font());
        style->setTextColor(selectedStyle->textColor());
        style->setTextAlignmentPrivately(selectedStyle->textAlignment());
        style->setTextAlignmentSetByUser(selectedStyle->textAlignmentSetByUser());
        style->setContentInset(selectedStyle->contentInset());
        style->setContentInsetSetByUser(selectedStyle->contentInsetSetByUser());
    }
    return style;
}

void LGridTextInputCell::applyStyle(const Ref<LGridCellStyle>& style)
{
    if (!style)
        return;
    LGridCell::applyStyle(style);
    setTextColorPrivately(style->textColor() ? style->textColor() : inputTextColor());
    setFontPrivately(style->font() ? style->font() : inputFont());
    setTextAlignmentPrivately(style->textAlignment());
    if (style->contentInsetSetByUser())
        m_contentInset = style->contentInset();
    setTextInputFrame(frame());
}

void LGridTextInputCell::recordDeselectedStyle()
{
    LGridCell::recordDeselectedStyle();
    auto& style = deselectedStyle();
    style->setTextAlignment(inputTextAlignment());
    style->setTextColor(inputTextColor());
    style->setFont(inputFont());
    style->setContentInset(m_contentInset);
}

// Geometry

void LGridTextInputCell::setFrame(CGRect frame)
{
    LGridCell::setFrame(frame);
    setTextInputFrame(frame);
}

void LGridTextInputCell::setTextInputFrame(CGRect rect)
{
    auto input = textInput();
    if (!input)
        return;
    input->setHidden(rect.size.width == 0 || rect.size.height == 0);
    rect.origin = CGPointZero;
    if (rect.size.width == 0 && rect.size.height == 0)
        return;
    rect = insetFrame(rect);
    if (auto superview = input->superview(); superview && superview.get() != this)
        rect = convertRectToView(rect, superview);
    rect.origin.x += m_contentInset.left;
    rect.origin.y += m_contentInset.top;
    rect.size.width -= m_contentInset.left + m_contentInset.right;
    rect.size.height -= m_contentInset.top + m_contentInset.bottom;
    input->setFrame(rect);
}

// Selection and reuse

void LGridTextInputCell::setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(
    bool selected, bool animated, const Ref<LGridCellStyle>& style, int32_t level)
{
    auto protectedThis = self<LGridTextInputCell>();
    LGridCell::setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(selected, animated, style, level);
    if (!selected) {
        if (auto input = textInput())
            input->resignFirstResponder();
    }
}

void LGridTextInputCell::resetForReuse()
{
    LGridCell::resetForReuse();
    m_useOwnTextColour = false;
    m_useOwnTextAlignment = false;
    m_useOwnFont = false;
}

// Editing

void LGridTextInputCell::respondToEditEvent()
{
    auto protectedThis = self<LGridTextInputCell>();
    auto grid = owningGrid();
    auto delegate = grid ? grid->delegate() : nullptr;
    if (delegate && delegate->respondsToSelector("latticeGrid:shouldBeginEditingAutoCell:")
        && !delegate->latticeGridShouldBeginEditingAutoCell(grid, protectedThis))
        return;
    if (grid)
        grid->setUserPrimaryCellCoord(gridCoord());
    prepareToAcceptEditEvents(true);
    becomeFirstResponder();
}

bool LGridTextInputCell::textInputShouldBeginEditing(const Ref<UIView>& input)
{
    auto protectedThis = self<LGridTextInputCell>();
    if (!m_editingScrollView) {
        m_editingScrollView = UIScrollView::initWithFrame(bounds());
        addSubview(m_editingScrollView);
    }
    if (input)
        m_editingScrollView->addSubview(input);
    auto grid = owningGrid();
    auto delegate = grid ? grid->delegate() : nullptr;
    if (delegate) {
        if (delegate->respondsToSelector("latticeGrid:willBeginEditingAutoCell:"))
            delegate->latticeGridWillBeginEditingAutoCell(grid, protectedThis);
        else if (delegate->respondsToSelector("latticeGrid:willCommenceEditingAutoCell:"))
            delegate->latticeGridWillCommenceEditingAutoCell(grid, protectedThis);
    }
    return true;
}

void LGridTextInputCell::textInputDidEndEditing(const Ref<UIView>& input)
{
    auto protectedThis = self<LGridTextInputCell>();
    if (input)
        addSubview(input);
    if (m_editingScrollView) {
        m_editingScrollView->removeFromSuperview();
        m_editingScrollView = nullptr;
    }
    commitChangesToDelegate();
    prepareToAcceptEditEvents(false);
    if (auto grid = owningGrid())
        grid->setUserPrimaryCellCoord(nullptr);
}

void LGridTextInputCell::commitChangesToDelegate()
{
    auto grid = owningGrid();
    auto delegate = grid ? grid->delegate() : nullptr;
    if (delegate && delegate->respondsToSelector("latticeGrid:didFinishEditingAutoCell:"))
        delegate->latticeGridDidFinishEditingAutoCell(grid, self<LGridTextInputCell>());
}

void LGridTextInputCell::prepareToAcceptEditEvents(bool) { }
