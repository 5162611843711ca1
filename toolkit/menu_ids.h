#pragma once
// Menu and tool ids the toolkit accepts. The command tables keep the ids that stored menu
// resources and registered modules rely on, some of them 32768 and above, while the toolkit
// takes a menu item's id only below 0x7fff. Each such id gets a stand-in from a block of its
// own, in ascending order of the ids, and every event's id is turned back before it reaches a
// command table; ids below the block pass through unchanged.

#include <map>
#include <vector>

namespace velk {

class MenuIdMap {
public:
    static constexpr int kStandInFirst = 30000;
    static constexpr int kStandInLast = 32766;  // below 0x7fff

    MenuIdMap() = default;
    // ids: every id a menu item or tool may carry. Throws std::length_error when the ids of the
    // block and above need more stand-ins than the block holds.
    explicit MenuIdMap(const std::vector<int>& ids);

    // The id to give the toolkit; -1 for an id of the block or above that was not listed.
    int ToToolkit(int id) const;
    // The command's own id of an event's id (an id outside the stand-ins comes back as it is).
    int FromToolkit(int toolkitId) const;

private:
    std::map<int, int> toToolkit_;
    std::vector<int> fromToolkit_;  // by stand-in - kStandInFirst
};

}  // namespace velk
