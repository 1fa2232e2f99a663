#include "grid/LGridRowHeights.h"

void LGridRowHeights::assign(const std::vector<float>& heights)
{
    m_heights.assign(heights.begin(), heights.end());
    m_heights.shrink_to_fit();
    m_tree.assign(m_heights.size() + 1, 0.0);
    m_tree.shrink_to_fit();
    // Linear build: each node passes its sum on to its parent.
    for (size_t i = 1; i < m_tree.size(); ++i) {
        m_tree[i] += m_heights[i - 1];
        size_t parent = i + (i & (~i + 1));
        if (parent < m_tree.size())
            m_tree[parent] += m_tree[i];
    }
}

void LGridRowHeights::clear()
{
    std::vector<float>().swap(m_heights);
    std::vector<double>().swap(m_tree);
}

void LGridRowHeights::setHeightAt(size_t index, float height)
{
    double delta = static_cast<double>(height) - static_cast<double>(m_heights[index]);
    m_heights[index] = height;
    if (delta == 0)
        return;
    for (size_t i = index + 1; i < m_tree.size(); i += i & (~i + 1))
        m_tree[i] += delta;
}

double LGridRowHeights::sumBefore(size_t index) const
{
    if (index > m_heights.size())
        index = m_heights.size();
    double sum = 0;
    for (size_t i = index; i > 0; i -= i & (~i + 1))
        sum += m_tree[i];
    return sum;
}

size_t LGridRowHeights::indexAtOffset(double offset) const
{
    if (m_heights.empty() || offset <= 0)
        return 0;
    // Descend the tree: the largest prefix whose sum does not pass `offset`.
    size_t position = 0;
    size_t step = 1;
    while (step * 2 < m_tree.size())
        step *= 2;
    double remaining = offset;
    for (; step > 0; step /= 2) {
        size_t next = position + step;
        if (next < m_tree.size() && m_tree[next] <= remaining) {
            position = next;
            remaining -= m_tree[next];
        }
    }
    return position < m_heights.size() ? position : m_heights.size() - 1;
}
