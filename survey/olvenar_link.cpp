#include "survey/olvenar_link.h"

#include "platform/paths.h"
#include "platform/profile.h"

namespace velk {

COlvenarLink::COlvenarLink(const Profile& profile) : path(SiblingProgramPath("Olvenar"))
{
    profile.ReadString(kSection, kKey, path);
}

bool COlvenarLink::Release(Profile& profile) const
{
    return profile.SetString(kSection, kKey, path);
}

}  // namespace velk
