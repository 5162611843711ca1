// The .sgm set file: ReadSgm over arbitrary bytes, then the fill through the shared reader
// harness. A file that reads is written again and read back: stations, slots, samples and the
// earthquake time come back bit for bit, and a second write gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "formats/strong_motion.h"
#include "fuzz/reader_harness.h"

namespace {

void SameSet(const velk::CStrongMotionSet& a, const velk::CStrongMotionSet& b)
{
    using velk::fuzzing::Require;
    Require(a.StationCount() == b.StationCount(), "round trip: station count");
    Require(a.header.earthquakeTime == b.header.earthquakeTime, "round trip: earthquake time");
    Require(a.header.traceCount == b.header.traceCount, "round trip: trace count");
    for (int i = 0; i < a.StationCount(); ++i) {
        const auto& s = *a.stations[static_cast<size_t>(i)];
        const auto& t = *b.stations[static_cast<size_t>(i)];
        Require(s.name == t.name.substr(0, 511) || s.name.substr(0, 511) == t.name, "round trip: station name");
        Require(s.traceCount == t.traceCount && s.filled == t.filled, "round trip: slots");
        for (size_t k = 0; k < velk::kStationSlots; ++k) {
            if (!s.filled[k]) continue;
            const auto& v = s.samples[k].values;
            const auto& w = t.samples[k].values;
            Require(v.size() == w.size() && (v.empty() || std::memcmp(v.data(), w.data(), v.size() * sizeof(float)) == 0),
                    "round trip: samples");
            Require(s.slots[k].recordTime == t.slots[k].recordTime && s.slots[k].stationCode == t.slots[k].stationCode,
                    "round trip: record");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velk::fuzzing::CheckReader({data, size}, {}, static_cast<int>(size % 3), [](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext&) {
        velk::CStrongMotionSet set;
        if (set.ReadSgm(source) < 0) return 0;
        velk::ByteSink first;
        velk::fuzzing::Require(set.WriteSgm(first).ok, "a set read could not be written");
        velk::CStrongMotionSet back;
        velk::ByteSource written = velk::ByteSource::FromSpan(first.Bytes());
        velk::fuzzing::Require(back.ReadSgm(written) == set.header.traceCount, "a written set does not read back");
        SameSet(set, back);
        velk::ByteSink second;
        back.WriteSgm(second);
        velk::fuzzing::Require(second.Bytes() == first.Bytes(), "a set written twice differs");
        const velk::StrongMotionFill fill = set.FillTraces(target);
        return fill.end - target.Start();
    });
    return 0;
}
