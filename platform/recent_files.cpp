#include "platform/recent_files.h"

#include <algorithm>

#include "platform/profile.h"

namespace velk {

namespace {
std::string SlotKey(int i) { return "File" + std::to_string(i + 1); }
}  // namespace

void RecentFileList::Add(const std::string& path)
{
    if (path.empty()) return;
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > static_cast<size_t>(kCapacity)) paths_.resize(kCapacity);
}

void RecentFileList::Remove(int index)
{
    if (index < 0 || index >= Count()) return;
    paths_.erase(paths_.begin() + index);
}

void RecentFileList::Load(const Profile& profile)
{
    paths_.clear();
    for (int i = 0; i < kCapacity; ++i) {
        std::optional<std::string> path = profile.GetString(kSection, SlotKey(i));
        if (path && !path->empty() &&
            std::find(paths_.begin(), paths_.end(), *path) == paths_.end()) {
            paths_.push_back(*path);
        }
    }
}

bool RecentFileList::Save(Profile& profile) const
{
    Profile::Batch batch(profile);
    for (int i = 0; i < kCapacity; ++i) {
        profile.SetString(kSection, SlotKey(i), i < Count() ? At(i) : std::string());
    }
    return batch.Commit();
}

std::string RecentFileList::MenuLabel(int index, std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string label = "&" + std::to_string(index + 1) + " ";
    for (char c : name) {
        if (c == '&') label += '&';
        label += c;
    }
    return label;
}

}  // namespace velk
