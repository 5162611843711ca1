// The converter's output names and the reader of its temporary file.

#include "survey/old_eight_header_conversion.h"

#include <gtest/gtest.h>

#include "base/trace_header.h"
#include "formats/load_target.h"

namespace velk {
namespace {

TEST(Conversion, OutputNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/d/a.8hd", "/d/a_new.8hd"},
        {"/d/a.8hd.8hd", "/d/a_new.8hd"},       // cut at the first
        {"/d.8hd/a", "/d.8hd/a_new.8hd"},       // folders do not count
        {"/d/a.8HD", "/d/a.8HD_new.8hd"},       // case as written
        {"b", "b_new.8hd"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ConvertedOutputPath(in), out) << in;
}

std::vector<uint8_t> Traces(int traces, int samples)
{
    ByteSink sink;
    for (int i = 0; i < traces; ++i) {
        CTraceHeader h;
        h.Set(i + 1, 0, 0, 1, 1, 0.0f, 250.0f, samples);
        h.WriteBinary(sink);
        for (int j = 0; j < samples; ++j) sink.WriteF32(1.0f, ByteOrder::Little);
    }
    return sink.Bytes();
}

TEST(Conversion, OnlyCompleteTracesWithinTheCapacityAreRead)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int read;
    };
    std::vector<uint8_t> cutHeader = Traces(3, 4);
    cutHeader.resize(cutHeader.size() - 48 + 20);
    std::vector<uint8_t> cutSamples = Traces(3, 4);
    cutSamples.pop_back();
    const Case cases[] = {
        {"whole", Traces(3, 4), 3},
        {"cut last header", cutHeader, 2},
        {"cut last samples", cutSamples, 2},
        {"no sample", Traces(2, 0), 0},
        {"too many traces", Traces(5, 1), -1},
        {"too many samples", Traces(1, 9), -1},
        {"empty", {}, 0},
    };
    for (const Case& k : cases) {
        ByteSource file = ByteSource::FromSpan(k.bytes);
        LoadTarget target(0, 4, 16, 8);
        EXPECT_EQ(ReadConverterOutput(file, target), k.read) << k.what;
    }
}

}  // namespace
}  // namespace velk
