#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The heights of one section's rows with their running sums kept in a Fenwick tree, so that the
// top of any row, the height of all rows and the row at a given offset each cost O(log n), and a
// changed height is taken in at the same cost. Twelve bytes per row: the height itself (float)
// and its tree node (double, so that sums over a million rows stay exact to the point).
// Plain value type; its owner (the section) is main thread only.
class LGridRowHeights {
public:
    void assign(const std::vector<float>& heights);
    void clear();
    size_t count() const { return m_heights.size(); }
    float heightAt(size_t index) const { return m_heights[index]; }
    void setHeightAt(size_t index, float height);
    // Sum of the heights of the rows before `index` (0 to count()).
    double sumBefore(size_t index) const;
    double total() const { return sumBefore(m_heights.size()); }
    // The row whose span [top, top + height) holds `offset`; 0 for offsets above the first row and
    // the last row for offsets past the end. Needs count() > 0.
    size_t indexAtOffset(double offset) const;

private:
    std::vector<float> m_heights;
    // One-based Fenwick tree over m_heights.
    std::vector<double> m_tree;
};
