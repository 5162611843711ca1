#include "app/ui/gtk_settings.h"

#include <dlfcn.h>

namespace velk {

// The toolkit library is already loaded by wx; its settings object is reached by name so that
// the shell does not need the toolkit's development headers for these two calls.
namespace {

using GetSettingsFn = void* (*)();
using SetPropertyFn = void (*)(void*, const char*, ...);
using GetPropertyFn = void (*)(void*, const char*, ...);
using FreeFn = void (*)(void*);

template <class Fn>
Fn Lookup(const char* name)
{
    return reinterpret_cast<Fn>(::dlsym(RTLD_DEFAULT, name));
}

void* Settings()
{
    auto get = Lookup<GetSettingsFn>("gtk_settings_get_default");
    return get ? get() : nullptr;
}

}  // namespace

bool SetInterfaceFont(const std::string& fontName)
{
    auto set = Lookup<SetPropertyFn>("g_object_set");
    void* settings = Settings();
    if (!set || !settings) return false;
    set(settings, "gtk-font-name", fontName.c_str(), static_cast<void*>(nullptr));
    return true;
}

std::string InterfaceFont()
{
    auto get = Lookup<GetPropertyFn>("g_object_get");
    auto release = Lookup<FreeFn>("g_free");
    void* settings = Settings();
    if (!get || !release || !settings) return {};
    char* name = nullptr;
    get(settings, "gtk-font-name", &name, static_cast<void*>(nullptr));
    std::string out = name ? name : "";
    if (name) release(name);
    return out;
}

}  // namespace velk
