#include "traveltime/publish_traveltime_set.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "traveltime/traveltime_set.h"

namespace velk {

namespace {

using namespace rostrel_block;

// Field by field, never through a struct layout: the sibling reads little-endian words.
void PutU32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutI32(uint8_t* at, int32_t v) { PutU32(at, static_cast<uint32_t>(v)); }
void PutF32(uint8_t* at, float v) { PutU32(at, std::bit_cast<uint32_t>(v)); }

size_t Word(int index) { return 4 * static_cast<size_t>(index); }
size_t Cell(int shot, int pick) { return Word(shot * kPicks + pick); }

}  // namespace

int OpenRostrelData(CTraveltimeSet& set, std::string* error)
{
    if (set.blockOpen != 0) return 0;
    if (!set.blockHolder.Open(kName, kSize, error)) return 0;
    set.blockOpen = 1;
    return 1;
}

int SetRostrelParameter(CTraveltimeSet& set, int index, float value)
{
    uint8_t* block = set.BlockView();
    if (!block || index < 0 || index >= kParameters) return 0;
    PutF32(block + kParameterSlots + Word(index), value);
    return 1;
}

int CopyToRostrelData(CTraveltimeSet& set, int request, std::string_view path)
{
    return CopyToRostrelData(set, set, request, path);
}

int CopyToRostrelData(CTraveltimeSet& holder, const CTraveltimeSet& set, int request, std::string_view path)
{
    uint8_t* block = holder.BlockView();
    if (!block) return 0;
    PutI32(block + kRequest, request);
    PutI32(block + kShotCount, set.shotCount);
    const int shots = std::clamp(set.shotCount, 0, kShots);
    for (int s = 0; s < shots; ++s) {
        // A shot of more than 401 picks is cut to its row.
        const int picks = std::clamp(set.pickCount[s], 0, kPicks);
        PutI32(block + kPickCounts + Word(s), picks);
        PutF32(block + kSourcePositions + Word(s), set.sourcePosition[s]);
        PutF32(block + kThirdValues + Word(s), set.thirdValue[s]);
        for (int p = 0; p < picks; ++p) {
            const size_t at = Cell(s, p);
            PutF32(block + kX + at, set.X(s, p));
            PutF32(block + kT + at, set.T(s, p));
            PutI32(block + kK + at, set.K(s, p));
            PutF32(block + kW + at, set.W(s, p));
            PutF32(block + kF + at, set.F(s, p));
        }
    }
    // The text up to its first zero byte, at most 299 bytes of it; the rest of the field zero.
    const size_t length = std::min({path.find('\0'), path.size(), kPathBytes - 1});
    std::memset(block + kPath, 0, kPathBytes);
    if (length > 0) std::memcpy(block + kPath, path.data(), length);
    return 1;
}

int PublishTraveltimeSet(CTraveltimeSet& set) { return CopyToRostrelData(set, -1, ""); }

void CloseRostrelData(CTraveltimeSet& set) { set.blockHolder.Close(); }

}  // namespace velk
