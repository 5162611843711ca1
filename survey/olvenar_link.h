#pragma once
// COlvenarLink: the link to the data viewer Olvenar. It holds the viewer's path, read from the
// profile (key "Olvenar", section "general") when the link is made and written back when it is
// released, and the contents of the shared block the viewer reads: one curve, or up to three
// channels. Writing the named block and starting the viewer come with the program-exchange
// work: Launch only records the command line it would run.

#include <array>
#include <string>
#include <vector>

namespace velk {

class Profile;

class COlvenarLink {
public:
    static constexpr const char* kKey = "Olvenar";
    static constexpr const char* kSection = "general";
    static constexpr int kMaxPoints = 8192;  // points of one curve or channel
    static constexpr int kMaxChannels = 3;
    static constexpr size_t kLabelLength = 79;  // characters of a label (80 with the terminator)

    struct Curve {
        int component = 0;
        int count = 0;
        std::vector<float> x;  // count values
        std::vector<float> y;
    };

    // Path := the profile's value, default the executable beside ours.
    explicit COlvenarLink(const Profile& profile);
    // Writes the path back under "Olvenar". Returns the profile's result.
    bool Release(Profile& profile) const;

    // The single-curve layout: count (clamped to 0..kMaxPoints) points of x and y (as many as
    // both arrays hold) and the two labels (cut to kLabelLength).
    void PutSpectrum(int count, const float* x, const float* y, const std::string& xLabel, const std::string& yLabel);
    // The three-channel layout: the labels, no channel yet.
    void BeginChannels(const std::string& xLabel, const std::string& yLabel);
    // Channel 0..2 (a higher channel is ignored): component, count points (clamped as above);
    // the channel count goes up by one.
    void PutChannel(int channel, int component, int count, const float* x, const float* y);
    // The viewer's command line " -Velkarine -<kind> -<layout>", recorded in launches. Returns 0:
    // the viewer is not started yet.
    int Launch(const std::string& kind, const std::string& layout);

    std::string path;
    int channelsBegun = 0;

    // The block as the viewer would read it.
    std::string xLabel;
    std::string yLabel;
    Curve curve;
    std::array<Curve, kMaxChannels> channels;
    int channelCount = 0;
    std::vector<std::string> launches;  // command lines, in order
};

}  // namespace velk
