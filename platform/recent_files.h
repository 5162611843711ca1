#pragma once
// The recent-file list: four paths, the newest first. It lives in the profile under a section
// of its own, "Recent File List", keys "File1" .. "File4" (an absent key is an empty slot); it
// is loaded at start-up and saved at exit only.

#include <string>
#include <string_view>
#include <vector>

namespace velk {

class Profile;

class RecentFileList {
public:
    static constexpr const char* kSection = "Recent File List";
    static constexpr int kCapacity = 4;

    // Puts the path first; an entry with the same path moves up instead of repeating; the
    // oldest entry drops out beyond four. An empty path is ignored.
    void Add(const std::string& path);
    void Remove(int index);  // out of range: nothing
    void Clear() { paths_.clear(); }

    int Count() const { return static_cast<int>(paths_.size()); }
    bool Empty() const { return paths_.empty(); }
    const std::string& At(int index) const { return paths_.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& Paths() const { return paths_; }

    // Reads File1..File4 in order, skipping empty and missing keys.
    void Load(const Profile& profile);
    // Writes File1..File4 ("" for the empty slots) in one profile write. False when the
    // profile could not be written.
    bool Save(Profile& profile) const;

    // A menu label: "&1 name" with the file name only (the folder dropped) and '&' doubled.
    static std::string MenuLabel(int index, std::string_view path);

private:
    std::vector<std::string> paths_;
};

}  // namespace velk
