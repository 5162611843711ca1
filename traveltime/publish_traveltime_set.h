#pragma once
// The shared block "RostrelData": the traveltime set as the refraction program reads it.
//
// The block is created at most once per run (OpenRostrelData), stays mapped until
// CloseRostrelData (Workspace::Shutdown, before the platform removes its blocks), and the
// sibling program opens it by name. There is no lock: we write the block, then start or signal
// the sibling. Layout, little-endian 4-byte words, one row of 401 picks per shot:
//
//   offset    content
//   0         int32 request code (-1 when published without a request)
//   4         36 bytes, not written
//   40        float32[10] parameter slots (SetRostrelParameter)
//   80        int32 shot count N of the set, as it is (rows for min(N, 251) shots only)
//   84        int32[251] pick count per shot (at most 401)
//   1088      float32[251] source position per shot (m)
//   2092      float32[251] third value per shot
//   3096      float32[251][401] X      405700  float32[251][401] T
//   808304    int32[251][401] K        1210908 float32[251][401] W
//   1613512   float32[251][401] F
//   2016116   char[300] path, zero-terminated (cut to 299 bytes)

#include <cstddef>
#include <string>
#include <string_view>

namespace velk {

class CTraveltimeSet;

namespace rostrel_block {

inline constexpr const char* kName = "RostrelData";
inline constexpr int kShots = 251;
inline constexpr int kPicks = 401;
inline constexpr int kParameters = 10;
inline constexpr size_t kPathBytes = 300;

inline constexpr size_t kRequest = 0;
inline constexpr size_t kParameterSlots = 40;
inline constexpr size_t kShotCount = kParameterSlots + 4 * kParameters;
inline constexpr size_t kPickCounts = kShotCount + 4;
inline constexpr size_t kSourcePositions = kPickCounts + 4 * kShots;
inline constexpr size_t kThirdValues = kSourcePositions + 4 * kShots;
inline constexpr size_t kTable = 4 * static_cast<size_t>(kShots) * kPicks;  // one [251][401] array
inline constexpr size_t kX = kThirdValues + 4 * kShots;
inline constexpr size_t kT = kX + kTable;
inline constexpr size_t kK = kT + kTable;
inline constexpr size_t kW = kK + kTable;
inline constexpr size_t kF = kW + kTable;
inline constexpr size_t kPath = kF + kTable;
inline constexpr size_t kSize = kPath + kPathBytes;

static_assert(kShotCount == 80 && kPickCounts == 84 && kSourcePositions == 1088 && kThirdValues == 2092);
static_assert(kX == 3096 && kT == 405700 && kK == 808304 && kW == 1210908 && kF == 1613512);
static_assert(kPath == 2016116 && kSize == 2016416);

}  // namespace rostrel_block

// Creates (or opens) the block once per run and keeps it mapped: 1 when it was created now;
// 0 when it was created before, or when creating or mapping fails (the set's block-open flag
// stays 0 then, and *error says why).
int OpenRostrelData(CTraveltimeSet& set, std::string* error = nullptr);

// Parameter slot `index` (0-9) := value. 0 when no block is mapped or the index is outside the
// slots, else 1.
int SetRostrelParameter(CTraveltimeSet& set, int index, float value);

// Copies the set into the block with the request code and the path (see the layout); 0 when no
// block is mapped, else 1.
int CopyToRostrelData(CTraveltimeSet& set, int request, std::string_view path);
// The same with the shots of `data` written into the block `set` holds (one block, two sets).
int CopyToRostrelData(CTraveltimeSet& set, const CTraveltimeSet& data, int request, std::string_view path);

// CopyToRostrelData(set, -1, "").
int PublishTraveltimeSet(CTraveltimeSet& set);

// Unmaps the block, if one is mapped. The block-open flag stays, so no second block is made.
void CloseRostrelData(CTraveltimeSet& set);

}  // namespace velk
