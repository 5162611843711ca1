// The three-component .DAT reader through the shared reader harness; the first byte chooses
// the file's name (and so the component), the rest is the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/three_component.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    static constexpr std::string_view kNames[] = {"/d/ns.DAT", "/d/EW.dat", "/d/ud.DAT", "/d/xewud.dat",
                                                  "/ud_line/NS.dat", "plain.dat", "", "/"};
    const std::string_view name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    const velk::fuzzing::HarnessLimits limits;
    for (int start : {0, limits.maxTraces - 1}) {
        velk::fuzzing::CheckReader({data + 1, size - 1}, limits, start,
                                   [&](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
                                       source.Seek(0);
                                       const auto bytes = source.Peek(static_cast<size_t>(source.Size()));
                                       const std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                                                                   bytes.size());
                                       const int n = velk::ReadComponentDat(text, name, target, ctx);
                                       if (n > 0) {
                                           const int c = target.HeaderAt(0).component;
                                           velk::fuzzing::Require(c >= 1 && c <= 3, "a component outside 1..3");
                                       }
                                       return n;
                                   });
    }
    return 0;
}
