// Both key-file parsers with the rebuild of traces from recorder channels: the first input byte
// chooses the parser (memory-recorder keys or plain keys, times in seconds or not), the rest is
// the key text. The traces made stay within the room, each is a named channel's samples times
// the key's gain, numbered from 0, and nothing beyond them is made.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "formats/load_target.h"
#include "formats/memory_recorder.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using velk::fuzzing::Require;
    if (size < 1) return 0;
    const uint8_t choice = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    constexpr int kChannels = 5, kSamples = 6;
    velk::Matrix2D<float> rows(0, kChannels - 1, 0, 7);
    for (int c = 0; c < kChannels; ++c) {
        for (int k = 0; k < kSamples; ++k) rows[c][k] = static_cast<float>(100 * (c + 1) + k);
    }
    std::vector<velk::KeyTrace> keys;
    if (choice & 1) {
        keys = velk::KeyTracesOf(velk::ParseMemoryRecorderKeyText(text));
    } else {
        keys = velk::KeyTracesOf(velk::ParseKeyText(text), (choice & 2) != 0);
    }
    Require(keys.size() <= static_cast<size_t>(velk::kMaxKeyLines), "more keys than allowed");
    velk::LoadTarget target(0, 1 + choice % 7, 8, 8);
    bool cut = false;
    const int made = velk::RebuildTracesFromKeys(rows, kChannels, kSamples, 250.0f, keys, target, &cut);
    Require(made >= 0 && made <= target.Capacity(), "traces made beyond the room");
    for (int k = made; k < target.Capacity(); ++k) Require(!target.HasRow(k), "a row made beyond the traces");
    // The traces in channel order, keys of one channel in file order, as far as the room goes.
    int i = 0;
    for (int channel = 1; channel <= kChannels && i < made; ++channel) {
        for (const velk::KeyTrace& key : keys) {
            if (key.channel != channel || i >= made) continue;
            const velk::CTraceHeader& h = target.HeaderAt(i);
            Require(h.traceNumber == i && h.samples == kSamples && h.gain == 1 && h.receiverHundredths == key.receiver &&
                        h.component == key.component,
                    "header words of a made trace");
            const auto row = target.RowIfAny(i);
            for (int k = 0; k < kSamples; ++k) {
                const float want = rows[channel - 1][k] * key.gain;
                Require(row[static_cast<size_t>(k)] == want || (std::isnan(want) && std::isnan(row[static_cast<size_t>(k)])),
                        "a made trace is not its channel times its gain");
            }
            for (int k = kSamples; k < 8; ++k) Require(row[static_cast<size_t>(k)] == 0.0f, "a sample beyond the count");
            ++i;
        }
    }
    Require(i == made, "more traces made than the keys name");
    Require(cut == (made == target.Capacity() && [&] {
                int named = 0;
                for (const velk::KeyTrace& key : keys) named += key.channel >= 1 && key.channel <= kChannels;
                return named > made;
            }()),
            "the cut is not reported exactly when named traces were left out");
    return 0;
}
