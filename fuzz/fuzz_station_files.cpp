// Strong-motion station files through the shared reader harness: the first input byte chooses
// the file name (so the component, the kind of an empty code and the station it joins) and the
// coordinate zone; the rest is the file (17-line text, "NDATA=" or "BINARY"). The file is read
// into a fresh set twice (a second component of the same bytes), then the set fills the target.
#include <cstddef>
#include <cstdint>

#include "formats/strong_motion.h"
#include "fuzz/reader_harness.h"

namespace {

const char* const kNames[] = {"st.ns", "st.EW", "st.ud", "st.NS1", "st.ew1", "53394611.UD1", "st.txt", "a/b.ns2"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t choice = data[0];
    const std::span<const uint8_t> file(data + 1, size - 1);
    velk::fuzzing::CheckReader(file, {}, choice % 3, [choice](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
        velk::CStrongMotionSet set;
        velk::CCoordinateOrigin origin;
        origin.zone = (choice & 0x80) ? 18 : 7;
        velk::StationLoadReport report;
        set.ReadStationFiles(kNames[choice % 8], source, origin, ctx.log, report);
        set.ReadStationFiles(kNames[(choice / 8) % 8], source, origin, ctx.log, report);
        velk::fuzzing::Require(set.StationCount() <= 2, "two files made more than two stations");
        for (const auto& s : set.stations) velk::fuzzing::Require(s->traceCount <= velk::kStationSlots, "a station counts more than six slots");
        set.WriteSummaryText(ctx.log, target.MaxSample());
        set.viewMode = choice % 10;
        const velk::StrongMotionFill fill = set.FillTraces(target);
        velk::fuzzing::Require(fill.records.size() == static_cast<size_t>(fill.end - target.Start()), "shown records and traces differ");
        return fill.end - target.Start();
    });
    return 0;
}
