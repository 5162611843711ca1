#include "base/trace_header.h"

#include <cmath>

#include "platform/byte_io.h"
#include "platform/numtext.h"

namespace velk {

namespace {
constexpr ByteOrder kOrder = ByteOrder::Little;

// Reads one int32 word; commits it only when all four bytes came. Returns the bytes read.
size_t ReadWord(ByteSource& source, int32_t& word)
{
    int32_t value = 0;
    const size_t got = source.ReadI32(value, kOrder);
    if (got == 4) {
        word = value;
    }
    return got;
}

size_t ReadWord(ByteSource& source, float& word)
{
    float value = 0.0f;
    const size_t got = source.ReadF32(value, kOrder);
    if (got == 4) {
        word = value;
    }
    return got;
}
}  // namespace

void CTraceHeader::Set(int32_t traceNumber_, int32_t receiverHundredths_,
                       int32_t sourceHundredths_, int32_t gain_, int32_t component_,
                       float delayUs_, float intervalUs_, int32_t samples_)
{
    traceNumber = traceNumber_;
    receiverHundredths = receiverHundredths_;
    sourceHundredths = sourceHundredths_;
    gain = gain_;
    component = component_;
    delayUs = delayUs_;
    intervalUs = intervalUs_;
    samples = samples_;
}

int CTraceHeader::WriteBinary(ByteSink& sink) const
{
    sink.WriteI32(traceNumber, kOrder);
    sink.WriteI32(receiverHundredths, kOrder);
    sink.WriteI32(sourceHundredths, kOrder);
    sink.WriteI32(gain, kOrder);
    sink.WriteI32(component, kOrder);
    sink.WriteF32(delayUs, kOrder);
    sink.WriteF32(intervalUs, kOrder);
    sink.WriteI32(samples, kOrder);
    return 1;
}

size_t CTraceHeader::ReadBinary(ByteSource& source)
{
    // Word by word, stopping at the first incomplete one so that no later word is touched.
    size_t total = 0;
    bool complete = true;
    auto word = [&](auto& field) {
        if (!complete) {
            return;
        }
        const size_t got = ReadWord(source, field);
        total += got;
        complete = got == 4;
    };
    word(traceNumber);
    word(receiverHundredths);
    word(sourceHundredths);
    word(gain);
    word(component);
    word(delayUs);
    word(intervalUs);
    word(samples);
    return total;
}

int CTraceHeader::WriteText(ByteSink& sink) const
{
    sink.WriteText(FormatC("%d %d %d %d %d %f %f %d \n", traceNumber, receiverHundredths,
                           sourceHundredths, gain, component, static_cast<double>(delayUs),
                           static_cast<double>(intervalUs), samples));
    return 1;
}

float CTraceHeaderEx::DistanceTo(const CTraceHeaderEx& other) const
{
    // Differences and squares in double: float coordinates lose nothing before the root, and
    // the result is the same whichever record receives the call.
    const double dx = static_cast<double>(x) - static_cast<double>(other.x);
    const double dy = static_cast<double>(y) - static_cast<double>(other.y);
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

}  // namespace velk
