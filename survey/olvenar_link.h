#pragma once
// COlvenarLink: the link to the data viewer Olvenar. It holds the viewer's path, read from the
// profile (key "Olvenar", section "general") when the link is made and written back when it is
// released. The shared block and the launch come with the program-exchange work.

#include <string>

namespace velk {

class Profile;

class COlvenarLink {
public:
    static constexpr const char* kKey = "Olvenar";
    static constexpr const char* kSection = "general";

    // Path := the profile's value, default the executable beside ours.
    explicit COlvenarLink(const Profile& profile);
    // Writes the path back under "Olvenar". Returns the profile's result.
    bool Release(Profile& profile) const;

    std::string path;
    int channelsBegun = 0;
};

}  // namespace velk
