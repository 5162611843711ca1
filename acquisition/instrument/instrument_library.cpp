#include "acquisition/instrument/instrument_library.h"

#include <algorithm>

namespace velk {

namespace {
template <size_t N>
int Lookup(const std::array<int, N>& table, int index)
{
    return table[static_cast<size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))];
}
}  // namespace

int ChannelsOf(int dispCh) { return std::min(Lookup(kChannelTable, dispCh), kInstrumentChannels); }
int SamplesOf(int mSize) { return Lookup(kSampleTable, mSize); }
int IntervalUsOf(int rate) { return Lookup(kRateTableUs, rate); }
int DivisorOf(int gainCode) { return Lookup(kGainDivisor, gainCode); }

}  // namespace velk
