#include "uikit/UIItemSelection.h"

#include "uikit/UITouch.h"

#include <algorithm>

UIItemSelection::UIItemSelection(MarkCell markCell)
    : m_markCell(std::move(markCell))
{
}

bool UIItemSelection::isSelected(Path path) const
{
    return std::find(m_paths.begin(), m_paths.end(), path) != m_paths.end();
}

std::optional<UIItemSelection::Path> UIItemSelection::first() const
{
    if (m_paths.empty())
        return std::nullopt;
    return *std::min_element(m_paths.begin(), m_paths.end());
}

std::vector<Ref<NSIndexPath>> UIItemSelection::sortedIndexPaths() const
{
    return UISectionedRows::sortedIndexPaths(m_paths);
}

void UIItemSelection::set(Path path, bool selected)
{
    auto it = std::find(m_paths.begin(), m_paths.end(), path);
    if (selected && it == m_paths.end())
        m_paths.push_back(path);
    else if (!selected && it != m_paths.end())
        m_paths.erase(it);
    if (m_markCell)
        m_markCell(path, selected);
}

void UIItemSelection::clear()
{
    for (const Path& p : std::vector<Path>(m_paths))
        set(p, false);
}

void UIItemSelection::select(Path path)
{
    if (!m_allowsMultipleSelection) {
        for (const Path& p : std::vector<Path>(m_paths)) {
            if (p != path)
                set(p, false);
        }
    }
    set(path, true);
}

void UIItemSelection::deselectAsked(Path path, const Delegate& delegate)
{
    auto resolved = delegate.willDeselect(path);
    if (!resolved)
        return;
    set(*resolved, false);
    delegate.didDeselect(*resolved);
}

void UIItemSelection::tap(Path tapped, const Delegate& delegate)
{
    if (m_allowsMultipleSelection && isSelected(tapped)) {
        deselectAsked(tapped, delegate);
        return;
    }
    auto chosen = delegate.willSelect(tapped);
    if (!chosen)
        return;
    if (!m_allowsMultipleSelection) {
        for (const Path& p : std::vector<Path>(m_paths)) {
            if (p != *chosen)
                deselectAsked(p, delegate);
        }
    }
    set(*chosen, true);
    delegate.didSelect(*chosen);
}

std::optional<CGPoint> UIItemSelection::tapLocation(bool wasTap, const UITouchSet& touches, const Ref<UIView>& view)
{
    if (!wasTap || touches.empty())
        return std::nullopt;
    return touches.front()->locationInView(view);
}
