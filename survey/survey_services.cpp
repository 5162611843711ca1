#include "survey/survey_services.h"

#include <algorithm>

#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace velk {

SiblingProgramPaths::SiblingProgramPaths()
    : nordalis(SiblingProgramPath("Nordalis")),
      quessil(SiblingProgramPath("Quessil")),
      mandrove(SiblingProgramPath("Mandrove")),
      rostrel(SiblingProgramPath("Rostrel"))
{
}

RegisteredModules::RegisteredModules()
{
    for (int i = 0; i < kMax; ++i) {
        names[static_cast<size_t>(i)] = FormatC("module %d", i);
    }
}

int RegisteredModules::Count() const { return std::clamp(count, 0, kMax); }

bool RegisteredModules::Register(const std::string& path)
{
    const int n = Count();
    if (n >= kMax) return false;
    names[static_cast<size_t>(n)] = path;
    count = n + 1;
    return true;
}

bool RegisteredModules::DeleteLast()
{
    const int n = Count();
    if (n == 0) return false;
    count = n - 1;
    names[static_cast<size_t>(count)] = FormatC("module %d", count);
    return true;
}

void RegisteredModules::Load(const Profile& profile)
{
    profile.ReadInt(kSection, "NModule", count);
    count = Count();
    for (int i = 0; i < kMax; ++i) {
        profile.ReadString(kSection, FormatC("Module%d", i), names[static_cast<size_t>(i)]);
    }
}

void RegisteredModules::Save(Profile& profile) const
{
    const int n = Count();
    profile.SetInt(kSection, "NModule", n);
    for (int i = 0; i < n; ++i) {
        profile.SetString(kSection, FormatC("Module%d", i), names[static_cast<size_t>(i)]);
    }
}

}  // namespace velk
