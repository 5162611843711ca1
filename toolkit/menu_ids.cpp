#include "toolkit/menu_ids.h"

#include <set>
#include <stdexcept>

namespace velk {

MenuIdMap::MenuIdMap(const std::vector<int>& ids)
{
    const std::set<int> high(ids.begin(), ids.end());
    for (auto it = high.lower_bound(kStandInFirst); it != high.end(); ++it) {
        const int standIn = kStandInFirst + static_cast<int>(fromToolkit_.size());
        if (standIn > kStandInLast) throw std::length_error("more command ids than menu stand-ins");
        toToolkit_[*it] = standIn;
        fromToolkit_.push_back(*it);
    }
}

int MenuIdMap::ToToolkit(int id) const
{
    if (id < kStandInFirst) return id;
    const auto it = toToolkit_.find(id);
    return it == toToolkit_.end() ? -1 : it->second;
}

int MenuIdMap::FromToolkit(int toolkitId) const
{
    const int k = toolkitId - kStandInFirst;
    if (k < 0 || k >= static_cast<int>(fromToolkit_.size())) return toolkitId;
    return fromToolkit_[static_cast<size_t>(k)];
}

}  // namespace velk
