#pragma once
// CTraveltimeSet: the first-arrival picks of a survey line (and the phase-velocity curves that
// travel in the same shape): up to 501 shots of up to 1001 picks, plus three sections carried
// unchanged for the refraction program. All storage is fixed and made once, on the heap, when
// the set is built.
//
// The text files are in traveltime_text.h; the shared block for the refraction program in
// publish_traveltime_set.h.

#include <cstdint>
#include <map>
#include <memory>
#include <span>

#include "base/trace_header.h"
#include "platform/shared_block.h"

namespace velk {

// What the roads of one command could not store in a full set, by shot position (hundredths of
// a metre): the picks left out and whether the whole shot was. A shot merged twice in one
// command (a record's picks on two roads) counts once.
class PicksLeftOut {
public:
    void Add(float position, int picks, bool wholeShot);
    int Shots() const;
    int Picks() const;
    bool Any() const { return !byShot_.empty(); }

private:
    std::map<int64_t, std::pair<int, bool>> byShot_;
};

class CTraveltimeSet {
public:
    static constexpr int kMaxShots = 501;
    static constexpr int kMaxPicks = 1001;
    static constexpr int kMaxSectionRows = 1001;   // sections A and C
    static constexpr int kMaxSectionCols = 201;
    static constexpr int kMaxSectionBEntries = 501;
    static constexpr int kMaxSectionBPoints = 1001;
    static constexpr float kMatchDistance = 0.01f;  // m

    CTraveltimeSet();
    ~CTraveltimeSet();
    CTraveltimeSet(const CTraveltimeSet&) = delete;
    CTraveltimeSet& operator=(const CTraveltimeSet&) = delete;

    // The constructor's reset: unmaps the block; zeroes the F column; has-data, N, the five
    // section sizes and the block-open flag := 0.
    void Reset();

    // Adds the picks of the current record (traces with a pick time above 0) as one shot.
    // headers/pickTimes/layerCodes are read for traces 0..traceCount-1 (bounded by the spans);
    // mode 0 waveform picks, 1 dispersion curves. The shot position is positionA, except in
    // mode 1 with useA 0, where it is positionB (and the third value is the spread length of
    // spreadHeaders). A shot within 0.01 m of an existing one merges into the last such shot.
    // Never writes past 501 shots or 1001 picks: a new shot is not added when the set is full
    // and picks beyond 1001 are dropped. Sets *changed to 1 in every case. Returns the number
    // of contributing picks that were not stored.
    int AddShotPicks(std::span<const CTraceHeader> headers, int traceCount,
                     std::span<const float> pickTimes, std::span<const int32_t> layerCodes,
                     int mode, float positionA, float positionB, int* changed,
                     std::span<const CTraceHeader> spreadHeaders, int spreadTraceCount,
                     int useA);

    // Divides F of every pick of every shot by the largest F of the set; nothing happens when N
    // is 0 or the largest F is not above 0.
    void NormalizeCurveAmplitudes();

    // Orders the shots by source position and each shot's picks by receiver position, both
    // ascending and stable; X, T, K, F and W of a pick move together.
    void SortShotPicks();

    // Pick p of shot s (0 <= s < kMaxShots, 0 <= p < kMaxPicks).
    float& X(int s, int p) { return picks_->x[Index(s, p)]; }
    float& T(int s, int p) { return picks_->t[Index(s, p)]; }
    int32_t& K(int s, int p) { return picks_->k[Index(s, p)]; }
    float& F(int s, int p) { return picks_->f[Index(s, p)]; }
    float& W(int s, int p) { return picks_->w[Index(s, p)]; }
    float X(int s, int p) const { return picks_->x[Index(s, p)]; }
    float T(int s, int p) const { return picks_->t[Index(s, p)]; }
    int32_t K(int s, int p) const { return picks_->k[Index(s, p)]; }
    float F(int s, int p) const { return picks_->f[Index(s, p)]; }
    float W(int s, int p) const { return picks_->w[Index(s, p)]; }

    // Fields in their order. The block "RostrelData" (publish_traveltime_set.h): its holder,
    // the view while it is mapped, and the flag that it was created in this run.
    SharedBlock blockHolder;
    uint8_t* BlockView() const { return blockHolder.Data(); }
    int blockOpen = 0;
    int formatLevel = 0;
    int kindRead = 0;
    float spacingRead = 0.0f;
    int hasData = 0;
    int kindWritten = 0;
    int shotCount = 0;  // N, 0..501
    int32_t pickCount[kMaxShots] = {};
    float sourcePosition[kMaxShots] = {};  // m
    float thirdValue[kMaxShots] = {};
    int rowsA = 0, colsA = 0, colsC = 0, rowsC = 0, entriesB = 0;
    float spacingWritten = 0.0f;

    // Sections A, B and C, carried for the refraction program.
    struct Sections {
        float aFirst[kMaxSectionRows];
        float aLine2[kMaxSectionRows][kMaxSectionCols];
        float aLine1[kMaxSectionRows][kMaxSectionCols];
        float cHeader1[kMaxSectionRows];
        float cLine1[kMaxSectionRows][kMaxSectionCols];
        int32_t bCount[kMaxSectionBEntries];
        float cHeader2[kMaxSectionRows];
        float cLine2[kMaxSectionRows][kMaxSectionCols];
        float bFirst[kMaxSectionBEntries][kMaxSectionBPoints];
        float bValue3[kMaxSectionBEntries];
        float bValue1[kMaxSectionBEntries];
        float bValue2[kMaxSectionBEntries];
        float bSecond[kMaxSectionBEntries][kMaxSectionBPoints];
    };
    Sections& sections() { return *sections_; }
    const Sections& sections() const { return *sections_; }

private:
    struct Picks {
        float x[kMaxShots * kMaxPicks];
        float t[kMaxShots * kMaxPicks];
        int32_t k[kMaxShots * kMaxPicks];
        float f[kMaxShots * kMaxPicks];
        float w[kMaxShots * kMaxPicks];
    };
    static size_t Index(int s, int p)
    {
        return static_cast<size_t>(s) * kMaxPicks + static_cast<size_t>(p);
    }
    // Appends the contributing picks as shot N; returns the picks dropped beyond kMaxPicks.
    int AppendShot(std::span<const CTraceHeader> headers, int count,
                   std::span<const float> pickTimes, std::span<const int32_t> layerCodes,
                   float position, int mode, int useA, float spread);

    std::unique_ptr<Picks> picks_;
    std::unique_ptr<Sections> sections_;
};

}  // namespace velk
