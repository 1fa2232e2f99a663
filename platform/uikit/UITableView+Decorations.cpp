// UITableView: what it shows besides cells: separators, the section index, section headers and footers.
#include "uikit/UITableView.h"

#include "foundation/ThreadChecks.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "uikit/UITableViewIndex.h"
#include "uikit/UITableViewInternal.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>

using UITableViewInternal::toIndexPath;

namespace {

// The title of a section header or footer, lined up with the cells' content: inset from both
// sides by the table's separator inset (15 points unless set).
class SectionTitleLabel final : public UILabel {
    VX_OBJECT(SectionTitleLabel, UILabel)
public:
    explicit SectionTitleLabel(Passkey key)
        : UILabel(key)
    {
    }
    static Ref<SectionTitleLabel> initWithFrameInset(CGRect frame, CGFloat inset)
    {
        auto label = makeView<SectionTitleLabel>(frame);
        label->setFont(UIFont::systemFontOfSize(17));
        label->setTextColor(UIColor::blackColor());
        label->setUserInteractionEnabled(false);
        label->setContentMode(UIViewContentModeRedraw);
        label->m_inset = inset;
        return label;
    }
    void drawTextInRect(CGRect rect) override
    {
        UILabel::drawTextInRect(UIEdgeInsetsInsetRect(rect, UIEdgeInsetsMake(0, m_inset, 0, m_inset)));
    }

private:
    CGFloat m_inset = 0;
};

} // namespace

// Separators

Ref<UIColor> UITableView::separatorColor() const
{
    return m_separatorColor ? m_separatorColor : UIColor::colorWithRedGreenBlueAlpha(0.78f, 0.78f, 0.8f, 1);
}

void UITableView::setSeparatorStyle(UITableViewCellSeparatorStyle style)
{
    assertIsMainThread();
    m_separatorStyle = style;
    setNeedsLayout();
}

void UITableView::setSeparatorColor(const Ref<UIColor>& color)
{
    assertIsMainThread();
    m_separatorColor = color;
    for (const auto& line : m_separators)
        line->setBackgroundColor(separatorColor());
}

void UITableView::setSeparatorInset(UIEdgeInsets insets)
{
    assertIsMainThread();
    m_separatorInset = insets;
    setNeedsLayout();
}

void UITableView::layoutSeparators(CGRect visible)
{
    std::vector<CGFloat> lines; // the separators' y, in content space
    if (m_separatorStyle != UITableViewCellSeparatorStyleNone) {
        CGFloat bottom = CGRectGetMaxY(visible);
        CGFloat last = -1;
        for (const auto& [path, cell] : m_visibleCells) {
            CGFloat y = CGRectGetMaxY(rowRect(path));
            lines.push_back(y);
            last = std::max(last, y);
        }
        // An empty plain table, or the space below its last row, shows empty rows' lines unless a
        // footer view takes that space.
        if (m_style == UITableViewStylePlain && !m_tableFooterView && m_rowHeight > 0) {
            CGFloat end = 0;
            for (const auto& g : m_sections)
                end = std::max(end, g.top + g.height);
            if (m_sections.empty())
                end = m_contentTop;
            CGFloat y = end + m_rowHeight;
            // Start at the first filler line on screen.
            if (y < CGRectGetMinY(visible))
                y += std::floor((CGRectGetMinY(visible) - y) / m_rowHeight) * m_rowHeight;
            for (; y <= bottom; y += m_rowHeight)
                lines.push_back(y);
        }
    }
    CGFloat hairline = 1 / std::max<CGFloat>(1, UIScreen::mainScreen()->scale());
    CGFloat width = bounds().size.width;
    CGFloat x = m_separatorInset.left;
    CGFloat length = std::max<CGFloat>(0, width - m_separatorInset.left - m_separatorInset.right);
    while (m_separators.size() > lines.size()) {
        m_separators.back()->removeFromSuperview();
        m_separators.pop_back();
    }
    while (m_separators.size() < lines.size()) {
        auto line = UIView::initWithFrame(CGRectZero);
        line->setBackgroundColor(separatorColor());
        line->setUserInteractionEnabled(false);
        m_separators.push_back(line);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        m_separators[i]->setFrame(CGRectMake(x, lines[i] - hairline, length, hairline));
        // Cells go in below everything else, so lines added once stay above them.
        if (m_separators[i]->superview().get() != this)
            addSubview(m_separators[i]);
    }
}

// Section index

void UITableView::reloadSectionIndexTitles()
{
    assertIsMainThread();
    auto self = protectedTable();
    m_indexTitles = dataSource() ? dataSource()->sectionIndexTitlesForTableView(self) : std::vector<std::string>();
    setNeedsLayout();
}

void UITableView::setSectionIndexMinimumDisplayRowCount(int32_t count)
{
    m_sectionIndexMinimumDisplayRowCount = count;
    setNeedsLayout();
}

void UITableView::updateIndexColors()
{
    if (m_index)
        m_index->setColors(m_sectionIndexColor, m_sectionIndexBackgroundColor, m_sectionIndexTrackingBackgroundColor);
}

void UITableView::setSectionIndexColor(const Ref<UIColor>& color)
{
    m_sectionIndexColor = color;
    updateIndexColors();
}

void UITableView::setSectionIndexBackgroundColor(const Ref<UIColor>& color)
{
    m_sectionIndexBackgroundColor = color;
    updateIndexColors();
}

void UITableView::setSectionIndexTrackingBackgroundColor(const Ref<UIColor>& color)
{
    m_sectionIndexTrackingBackgroundColor = color;
    updateIndexColors();
}

Ref<UIView> UITableView::sectionIndexView() const
{
    return m_index;
}

bool UITableView::dragMayStartWithTouch(const Ref<UITouch>& touch) const
{
    if (!m_index || !touch)
        return true;
    for (auto v = touch->view(); v; v = v->superview()) {
        if (v == m_index)
            return false;
    }
    return true;
}

void UITableView::layoutSectionIndex(CGRect visible)
{
    int32_t rows = 0;
    for (int32_t count : m_rowCounts)
        rows += count;
    bool shown = !m_indexTitles.empty() && rows >= m_sectionIndexMinimumDisplayRowCount;
    if (!shown) {
        if (m_index && !m_index->isTracking()) {
            m_index->removeFromSuperview();
            m_index = nullptr;
        }
        return;
    }
    if (!m_index) {
        m_index = UITableViewIndex::init();
        Weak<UITableView> weak = protectedTable();
        m_index->setOnSelect([weak](int32_t entry) {
            if (auto table = weak.lock())
                table->sectionIndexSelected(entry);
        });
        updateIndexColors();
        addSubview(m_index);
    }
    if (m_index->titles() != m_indexTitles)
        m_index->setTitles(m_indexTitles);
    // It stays put at the right edge while the rows scroll under it.
    m_index->setFrame(CGRectMake(CGRectGetMaxX(visible) - UITableViewIndex::kWidth, CGRectGetMinY(visible),
        UITableViewIndex::kWidth, visible.size.height));
    // Reordering asks for another layout pass, so only when something came in above it.
    if (subviews().back() != m_index)
        bringSubviewToFront(m_index);
}

void UITableView::sectionIndexSelected(int32_t entry)
{
    auto self = protectedTable();
    auto* ds = dataSource();
    if (!ds || entry < 0 || entry >= int32_t(m_indexTitles.size()))
        return;
    int32_t section = ds->tableViewSectionForSectionIndexTitleAtIndex(self, m_indexTitles[size_t(entry)], entry);
    ensureGeometry();
    if (section < 0 || section >= int32_t(m_sections.size()))
        return;
    CGPoint offset = contentOffset();
    CGPoint min = minimumContentOffset();
    CGPoint max = maximumContentOffset();
    offset.y = std::clamp(m_sections[size_t(section)].top - contentInset().top, min.y, max.y);
    setContentOffsetAnimated(offset, false);
}

void UITableView::layoutSectionViews(CGRect visible)
{
    auto self = protectedTable();
    auto* ds = dataSource();
    auto* d = tableDelegate();
    std::vector<Ref<UIView>> pinnedViews;
    auto place = [&](std::map<int32_t, Ref<UIView>>& views, bool header) {
        for (int32_t s = 0; s < int32_t(m_sections.size()); ++s) {
            CGRect rect = header ? rectForHeaderInSection(s) : rectForFooterInSection(s);
            bool shown = rect.size.height > 0 && CGRectIntersectsRect(rect, visible);
            // In the plain style a header stays pinned to the top of the visible area while
            // its section is on screen, pushed up by the end of the section.
            bool pinned = header && m_style == UITableViewStylePlain && rect.size.height > 0;
            if (pinned) {
                CGRect section = rectForSection(s);
                shown = CGRectIntersectsRect(section, visible);
                CGFloat top = CGRectGetMinY(visible) + contentInset().top;
                rect.origin.y = std::min(std::max(rect.origin.y, top), CGRectGetMaxY(section) - rect.size.height);
            }
            auto it = views.find(s);
            if (!shown) {
                if (it != views.end()) {
                    it->second->removeFromSuperview();
                    views.erase(it);
                }
                continue;
            }
            if (it == views.end()) {
                Ref<UIView> view = d ? (header ? d->tableViewViewForHeaderInSection(self, s)
                                               : d->tableViewViewForFooterInSection(self, s))
                                     : nullptr;
                if (!view && ds) {
                    auto title = header ? ds->tableViewTitleForHeaderInSection(self, s)
                                        : ds->tableViewTitleForFooterInSection(self, s);
                    if (title) {
                        CGFloat inset = m_separatorInset.left > 0 ? m_separatorInset.left : 15;
                        auto label = SectionTitleLabel::initWithFrameInset(rect, inset);
                        label->setText(*title);
                        view = label;
                    }
                }
                if (!view)
                    continue;
                addSubview(view);
                it = views.emplace(s, view).first;
            }
            it->second->setFrame(rect);
            if (pinned)
                pinnedViews.push_back(it->second);
        }
    };
    place(m_headerViews, true);
    place(m_footerViews, false);
    // Pinned headers float above the cells, in section order. Reorder only when they are not
    // already there: every reordering asks for another layout pass.
    const auto& order = subviews();
    bool inFront = order.size() >= pinnedViews.size()
        && std::equal(pinnedViews.begin(), pinnedViews.end(), order.end() - ptrdiff_t(pinnedViews.size()));
    if (!inFront) {
        for (const auto& view : pinnedViews)
            bringSubviewToFront(view);
    }
}
