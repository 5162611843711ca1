#include "survey/olvenar_link.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/profile.h"

namespace velk {

namespace {

void Fill(COlvenarLink::Curve& curve, int count, const float* x, const float* y)
{
    curve.count = (x && y) ? std::clamp(count, 0, COlvenarLink::kMaxPoints) : 0;
    curve.x.assign(x, x + curve.count);
    curve.y.assign(y, y + curve.count);
}

std::string Label(const std::string& text) { return text.substr(0, COlvenarLink::kLabelLength); }

}  // namespace

COlvenarLink::COlvenarLink(const Profile& profile) : path(SiblingProgramPath("Olvenar"))
{
    profile.ReadString(kSection, kKey, path);
}

bool COlvenarLink::Release(Profile& profile) const
{
    return profile.SetString(kSection, kKey, path);
}

void COlvenarLink::PutSpectrum(int count, const float* x, const float* y, const std::string& xLabel_,
                               const std::string& yLabel_)
{
    Fill(curve, count, x, y);
    xLabel = Label(xLabel_);
    yLabel = Label(yLabel_);
}

void COlvenarLink::BeginChannels(const std::string& xLabel_, const std::string& yLabel_)
{
    xLabel = Label(xLabel_);
    yLabel = Label(yLabel_);
    channelCount = 0;
    channelsBegun = 1;
}

void COlvenarLink::PutChannel(int channel, int component, int count, const float* x, const float* y)
{
    if (channel < 0 || channel >= kMaxChannels) {
        return;
    }
    Curve& c = channels[static_cast<size_t>(channel)];
    c.component = component;
    Fill(c, count, x, y);
    channelCount = std::min(channelCount + 1, kMaxChannels);
}

int COlvenarLink::Launch(const std::string& kind, const std::string& layout)
{
    launches.push_back(" -Velkarine -" + kind + " -" + layout);
    return 0;
}

}  // namespace velk
