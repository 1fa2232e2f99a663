#include "uikit/UIBatchUpdates.h"

#include "foundation/NSString.h"

#include <algorithm>

namespace {
template <typename T> bool contains(const std::vector<T>& list, const T& value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}
} // namespace

bool UIBatchUpdates::end()
{
    if (m_depth == 0)
        return false;
    return --m_depth == 0;
}

void UIBatchUpdates::abandon()
{
    if (--m_depth == 0)
        m_pending = {};
}

UIBatchUpdates::Plan UIBatchUpdates::plan(
    const Counts& before, const Counts& after, const Changes& u, const Rules& rules)
{
    Plan result;
    auto refuse = [&](const std::string& reason) {
        result.failure = "Invalid update: " + reason;
        return result;
    };
    const int32_t oldSections = int32_t(before.size());
    const int32_t newSections = int32_t(after.size());
    auto inOld = [&](Path p) {
        return p.first >= 0 && p.first < oldSections && p.second >= 0 && p.second < before[size_t(p.first)];
    };
    auto inNew = [&](Path p) {
        return p.first >= 0 && p.first < newSections && p.second >= 0 && p.second < after[size_t(p.first)];
    };
    const std::string row = rules.rowName;
    const std::string rows = row + "s";
    const std::string view = rules.viewName;

    std::set<int32_t> deletedSections(u.deleteSections.begin(), u.deleteSections.end());
    std::set<int32_t> insertedSections(u.insertSections.begin(), u.insertSections.end());
    std::set<int32_t> reloadedSections(u.reloadSections.begin(), u.reloadSections.end());
    std::map<int32_t, int32_t> movedSections(u.moveSections.begin(), u.moveSections.end());
    for (int32_t s : deletedSections) {
        if (s < 0 || s >= oldSections)
            return refuse("attempt to delete section " + std::to_string(s) + ", but there are only "
                + std::to_string(oldSections) + " sections before the update");
    }
    if (rules.checksReloadedSections) {
        for (int32_t s : reloadedSections) {
            if (s < 0 || s >= oldSections)
                return refuse("attempt to reload section " + std::to_string(s) + ", but there are only "
                    + std::to_string(oldSections) + " sections before the update");
        }
    }
    for (int32_t s : insertedSections) {
        if (s < 0 || s >= newSections)
            return refuse("attempt to insert section " + std::to_string(s) + " but there are only "
                + std::to_string(newSections) + " sections after the update");
    }
    std::set<int32_t> moveTargets;
    for (const auto& [from, to] : u.moveSections) {
        if (from < 0 || from >= oldSections || to < 0 || to >= newSections || deletedSections.count(from)
            || insertedSections.count(to) || !moveTargets.insert(to).second)
            return refuse("attempt to move section " + std::to_string(from) + " to section " + std::to_string(to));
    }
    if (oldSections - int32_t(deletedSections.size()) + int32_t(insertedSections.size()) != newSections)
        return refuse(NSString::stringWithFormat("invalid number of sections.  The number of sections contained in the "
                + view + " after the update (%d) must be equal to the number of sections contained in the " + view
                + " before the update (%d), plus or minus the number of sections inserted or deleted (%d inserted, "
                  "%d deleted).",
            newSections, oldSections, int32_t(insertedSections.size()), int32_t(deletedSections.size())));

    // Old sections map to new ones: moved sections where they were sent, the others in order
    // into the places no insert or move took.
    std::vector<int32_t> sectionMap(size_t(oldSections), -1);
    {
        int32_t ns = 0;
        for (int32_t os = 0; os < oldSections; ++os) {
            if (deletedSections.count(os))
                continue;
            if (auto moved = movedSections.find(os); moved != movedSections.end()) {
                sectionMap[size_t(os)] = moved->second;
                continue;
            }
            while (insertedSections.count(ns) || moveTargets.count(ns))
                ++ns;
            sectionMap[size_t(os)] = ns++;
        }
    }

    for (const Path& p : u.deleteRows) {
        if (!inOld(p))
            return refuse("attempt to delete " + row + " " + std::to_string(p.second) + " from section "
                + std::to_string(p.first) + " which does not exist before the update");
    }
    for (const Path& p : u.reloadRows) {
        if (!inOld(p))
            return refuse("attempt to reload " + row + " " + std::to_string(p.second) + " from section "
                + std::to_string(p.first) + " which does not exist before the update");
    }
    for (const Path& p : u.insertRows) {
        if (!inNew(p))
            return refuse(rules.insertFailure(p, p.first >= 0 && p.first < newSections ? after[size_t(p.first)] : 0));
    }
    // Every place an insert or a move takes in the new sections.
    std::set<Path> moveSources, targets(u.insertRows.begin(), u.insertRows.end());
    for (const auto& [from, to] : u.moveRows) {
        bool fresh = moveSources.insert(from).second;
        fresh = targets.insert(to).second && fresh;
        if (!inOld(from) || !inNew(to) || (rules.checksMoveClashes && !fresh))
            return refuse(rules.moveFailure(from, to));
    }

    // Each surviving section's count must follow from the changes made to it.
    for (int32_t os = 0; os < oldSections; ++os) {
        int32_t ns = sectionMap[size_t(os)];
        if (ns < 0 || reloadedSections.count(os))
            continue;
        int32_t inserted = 0, deleted = 0, movedIn = 0, movedOut = 0;
        for (const Path& p : u.insertRows)
            inserted += p.first == ns;
        for (const Path& p : u.deleteRows)
            deleted += p.first == os;
        for (const auto& [from, to] : u.moveRows) {
            movedOut += from.first == os;
            movedIn += to.first == ns;
        }
        int32_t expected = before[size_t(os)] + inserted - deleted + movedIn - movedOut;
        if (expected != after[size_t(ns)])
            return refuse(NSString::stringWithFormat("invalid number of " + rows + " in section %d.  The number of "
                    + rows + " contained in an existing section after the update (%d) must be equal to the number of "
                    + rows + " contained in that section before the update (%d), plus or minus the number of " + rows
                    + " inserted or deleted from that section (%d inserted, %d deleted) and plus or minus the number "
                      "of "
                    + rows + " moved into or out of that section (%d moved in, %d moved out).",
                ns, after[size_t(ns)], before[size_t(os)], inserted, deleted, movedIn, movedOut));
    }

    // Where each old row ends up: moved rows where they were sent, the others of a surviving
    // section into its free places in order.
    for (const auto& [from, to] : u.moveRows)
        result.destinations[from] = to;
    for (int32_t os = 0; os < oldSections; ++os) {
        int32_t ns = sectionMap[size_t(os)];
        if (ns < 0)
            continue;
        std::set<int32_t> taken;
        for (const Path& p : targets) {
            if (p.first == ns)
                taken.insert(p.second);
        }
        int32_t next = 0;
        for (int32_t i = 0; i < before[size_t(os)]; ++i) {
            Path old { os, i };
            if (contains(u.deleteRows, old) || result.destinations.count(old))
                continue;
            while (taken.count(next))
                ++next;
            if (next >= after[size_t(ns)])
                break;
            result.destinations[old] = { ns, next++ };
            if (reloadedSections.count(os) || contains(u.reloadRows, old))
                result.refreshed.insert(old);
        }
    }
    return result;
}

void UIBatchUpdates::moveSelection(std::vector<Path>& selected, const Plan& plan)
{
    std::vector<Path> moved;
    for (const Path& p : selected) {
        if (auto it = plan.destinations.find(p); it != plan.destinations.end())
            moved.push_back(it->second);
    }
    selected = std::move(moved);
}
