// Fuzzes the INI profile parser: any bytes must parse, serialise and parse again to the same
// text, keep every look-up's answer, and take a value set through the typed calls.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velk::IniDocument doc = velk::IniDocument::Parse(text);
    const std::string once = doc.Serialize();
    velk::IniDocument again = velk::IniDocument::Parse(once);
    Require(again.Serialize() == once);

    // Every setting reads back; the first of duplicates wins, in either case spelling.
    const auto entries = doc.Entries();
    size_t probed = 0;
    for (const auto& e : entries) {
        if (++probed > 64) break;
        const auto a = doc.Find(e.section, e.key);
        const auto b = again.Find(e.section, e.key);
        Require(a.has_value() && b.has_value() && *a == *b);
        std::string upper = e.key;
        for (char& c : upper) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        const auto c = doc.Find(e.section, upper);
        Require(c.has_value() && *c == *a);
    }

    // Typed look-ups never fail hard, and a variable stays untouched when absent.
    velk::Profile profile = velk::Profile::FromText(text);
    int32_t i = 7;
    float f = 1e-7f;
    bool flag = true;
    std::string s = "x";
    if (!profile.ReadInt("General", "MAXTRACES", i)) Require(i == 7);
    if (!profile.ReadFloat("general", "plotscale", f)) Require(f == 1e-7f);
    if (!profile.ReadBool("General", "COMPLETEMENU", flag)) Require(flag);
    if (!profile.ReadString("GENERAL", "csUnit", s)) Require(s == "x");

    // A key and value taken from the input: when storable, they read back after a round trip.
    const size_t cut = size / 2;
    const std::string_view key = text.substr(0, cut > 32 ? 32 : cut);
    const std::string_view value = text.substr(cut, 64);
    const bool stored = profile.SetString("General", key, value);
    Require(stored == velk::IniDocument::CanStore("General", key, value));
    if (stored) {
        const velk::IniDocument written = velk::IniDocument::Parse(profile.Text());
        const auto v = written.Find("general", key);
        const auto w = profile.GetString("General", key);
        Require(v.has_value() && w.has_value() && *v == *w);
        Require(profile.SetInt("General", key, -123456));
        Require(profile.GetInt("General", key) == -123456);
        Require(profile.SetFloat("General", key, 1.5f));
        Require(profile.GetString("General", key) == std::string("1.500000"));
    }
    return 0;
}
