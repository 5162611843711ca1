#include "surfacewave/cmp_dispersion.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "dsp/correlation.h"
#include "dsp/fourier.h"
#include "dsp/velocity_parallel.h"
#include "platform/numtext.h"
#include "surfacewave/spac_kernels.h"
#include "survey/file_group.h"

namespace velk {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kMaxCurvePoints = 256;

bool HasSamples(const CTraceEntry& e) { return e.use == 1 && e.hasSamples == 1; }

const CTraceEntry* Cell(const CFileGroup& g, int s, int r)
{
    if (s < 0 || r < 0 || s >= g.sourceCount || r >= g.receiverCount) return nullptr;
    if (static_cast<size_t>(s) >= g.table.size() || static_cast<size_t>(r) >= g.table[static_cast<size_t>(s)].size()) {
        return nullptr;
    }
    return &g.table[static_cast<size_t>(s)][static_cast<size_t>(r)];
}

// Work arrays of one thread.
struct PairWork {
    std::vector<double> re1, im1, re2, im2, zr, zi;
    std::vector<float> normalised;
};

// Phase of bins 1 .. bins-1 of a real trace of `length` values (zero-padded to L).
void TracePhase(const std::vector<float>& trace, int L, int bins, std::vector<float>& phase)
{
    std::vector<double> re(static_cast<size_t>(L), 0.0), im(static_cast<size_t>(L), 0.0);
    std::copy_n(trace.begin(), std::min(trace.size(), re.size()), re.begin());
    CFourier::Fft(re.data(), im.data(), L, 0, 0);
    phase.assign(static_cast<size_t>(std::max(0, bins - 1)), 0.0f);
    for (int k = 1; k < bins; ++k) {
        const double p = std::atan2(im[static_cast<size_t>(k)], re[static_cast<size_t>(k)]);
        phase[static_cast<size_t>(k - 1)] = static_cast<float>(p);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Spectra

std::vector<std::string> MixedIntervalFiles(const CFileGroup& group)
{
    std::map<int, float> intervals;  // file index -> the interval of its first trace with samples
    for (const auto& row : group.table) {
        for (const CTraceEntry& e : row) {
            if (HasSamples(e) && e.fileIndex >= 0) intervals.emplace(e.fileIndex, e.header.intervalUs);
        }
    }
    std::vector<std::string> lines;
    const bool mixed = std::any_of(intervals.begin(), intervals.end(),
                                   [&](const auto& f) { return f.second != intervals.begin()->second; });
    if (!mixed) return lines;
    for (const auto& [index, intervalUs] : intervals) {
        const std::string name = index < std::min(group.entryCount, CFileGroup::kMaxFiles)
                                     ? group.entries[static_cast<size_t>(index)].fileName
                                     : FormatC("#%d", index + 1);
        lines.push_back(FormatC("%s: %g ms", name.c_str(), intervalUs * 0.001));
    }
    return lines;
}

CmpSpectra::CmpSpectra(const CFileGroup& group, int resolution, size_t budgetBytes, int threads) : group_(group)
{
    const int S = std::min<int>(group.sourceCount, static_cast<int>(group.table.size()));
    kept_.resize(static_cast<size_t>(std::max(0, S)));
    for (int s = 0; s < S; ++s) {
        const auto& row = group.table[static_cast<size_t>(s)];
        const int R = std::min<int>(group.receiverCount, static_cast<int>(row.size()));
        for (int r = 0; r < R; ++r) {
            const CTraceEntry& e = row[static_cast<size_t>(r)];
            if (!HasSamples(e)) continue;
            samples_ = std::max(samples_, std::min<int>(e.header.samples, static_cast<int>(e.samples.size())));
            if (intervalMs_ <= 0.0 && e.header.intervalUs > 0.0f) intervalMs_ = e.header.intervalUs * 0.001;
        }
    }
    if (samples_ <= 0) return;
    length_ = ResolutionFftLength(samples_, resolution);

    // Which rows are kept: from the first while the budget lasts.
    const size_t perCell = static_cast<size_t>(length_ / 2 + 1) * 2 * sizeof(float);
    size_t used = 0;
    std::vector<int> rows;
    for (int s = 0; s < S; ++s) {
        const auto& row = group.table[static_cast<size_t>(s)];
        const int R = std::min<int>(group.receiverCount, static_cast<int>(row.size()));
        const auto cells = static_cast<size_t>(std::count_if(row.begin(), row.begin() + R, HasSamples));
        if (cells == 0 || used + cells * perCell > budgetBytes) continue;
        used += cells * perCell;
        rows.push_back(s);
        // Sized here, on the calling thread, so that the memory comes from one heap.
        auto& kept = kept_[static_cast<size_t>(s)];
        kept.resize(static_cast<size_t>(R));
        for (int r = 0; r < R; ++r) {
            if (HasSamples(row[static_cast<size_t>(r)])) kept[static_cast<size_t>(r)].resize(perCell / sizeof(float));
        }
    }
    cachedRows_ = static_cast<int>(rows.size());
    velocity_detail::ParallelFor(
        cachedRows_, static_cast<int64_t>(length_) * 24 * 16,
        [&](int first, int last) {
            std::vector<double> re, im;
            for (int i = first; i < last; ++i) {
                const int s = rows[static_cast<size_t>(i)];
                const int R = std::min<int>(group.receiverCount, static_cast<int>(group.table[static_cast<size_t>(s)].size()));
                auto& cells = kept_[static_cast<size_t>(s)];
                for (int r = 0; r < R; ++r) {
                    auto& to = cells[static_cast<size_t>(r)];
                    if (to.empty() || !Transform(s, r, re, im)) continue;
                    for (size_t k = 0; k < re.size(); ++k) {
                        to[2 * k] = static_cast<float>(re[k]);
                        to[2 * k + 1] = static_cast<float>(im[k]);
                    }
                }
            }
        },
        threads);
}

bool CmpSpectra::Transform(int s, int r, std::vector<double>& re, std::vector<double>& im) const
{
    const CTraceEntry* e = Cell(group_, s, r);
    if (e == nullptr || !HasSamples(*e) || length_ <= 0) return false;
    re.assign(static_cast<size_t>(length_), 0.0);
    im.assign(static_cast<size_t>(length_), 0.0);
    const int n = std::min<int>({e->header.samples, static_cast<int>(e->samples.size()), length_});
    for (int k = 0; k < n; ++k) re[static_cast<size_t>(k)] = e->samples[static_cast<size_t>(k)];
    CFourier::Fft(re.data(), im.data(), length_, 0, 0);
    re.resize(static_cast<size_t>(length_ / 2 + 1));
    im.resize(re.size());
    return true;
}

bool CmpSpectra::Get(int s, int r, std::vector<double>& re, std::vector<double>& im) const
{
    if (length_ <= 0 || s < 0 || r < 0) return false;
    if (static_cast<size_t>(s) < kept_.size() && static_cast<size_t>(r) < kept_[static_cast<size_t>(s)].size()) {
        const auto& from = kept_[static_cast<size_t>(s)][static_cast<size_t>(r)];
        if (!from.empty()) {
            re.resize(from.size() / 2);
            im.resize(re.size());
            for (size_t k = 0; k < re.size(); ++k) {
                re[k] = from[2 * k];
                im[k] = from[2 * k + 1];
            }
            return true;
        }
    }
    return Transform(s, r, re, im);
}

// ---------------------------------------------------------------------------------------------
// One CMP and separation

CmpPairGatherResult CmpPairGather(const CFileGroup& group, const CmpSpectra& spectra, double cmp, int separation,
                                  const CmpPairOptions& options, const CmpProgress& progress)
{
    CmpPairGatherResult result;
    const int L = spectra.Length();
    if (L <= 0 || separation < 1 || !(spectra.IntervalMs() > 0.0)) return result;
    result.bins = L / 8 > 255 ? kMaxCurvePoints : L / 8;
    result.df = 1000.0 / (L * spectra.IntervalMs());
    const int n = result.bins;
    const int traceLength = options.method == kCmpCoherence ? std::min(spectra.Samples(), L) : L;

    std::vector<double> phaseSum(static_cast<size_t>(n), 0.0);
    std::vector<double> traceSum(static_cast<size_t>(traceLength), 0.0);
    double distanceSum = 0.0;
    PairWork w;
    const double tolerance = options.bin / 2.0 + 0.01;
    const int S = std::min<int>(group.sourceCount, static_cast<int>(group.table.size()));
    for (int s = 0; s < S; ++s) {
        const int R = std::min<int>(group.receiverCount, static_cast<int>(group.table[static_cast<size_t>(s)].size()));
        for (int j = 0; j + separation < R; ++j) {
            const CTraceEntry& a = *Cell(group, s, j);
            const CTraceEntry& b = *Cell(group, s, j + separation);
            if (!HasSamples(a) || !HasSamples(b)) continue;
            const double ra = a.header.receiverHundredths, rb = b.header.receiverHundredths;
            const double midpoint = (ra + rb) * 0.005;
            const double oa = (ra - a.header.sourceHundredths) * 0.01;
            const double ob = (rb - b.header.sourceHundredths) * 0.01;
            if (std::fabs(oa) < options.minimumOffset || std::fabs(oa) > options.maximumOffset) continue;
            if (std::fabs(ob) < options.minimumOffset || std::fabs(ob) > options.maximumOffset) continue;
            if (std::fabs(midpoint - cmp) > tolerance) continue;
            if (!(std::fabs(oa) > options.pairMinimumOffset && std::fabs(ob) > options.pairMinimumOffset)) continue;
            if ((oa > 0.0) != (ob > 0.0)) continue;
            const double distance = std::fabs(rb - ra) * 0.01;
            if (progress) {
                progress(FormatC("CMP=%f Separation=%d distance=%f offset=%f", cmp, separation, distance,
                                 std::min(std::fabs(oa), std::fabs(ob))));
            }
            // The nearer trace first.
            const bool aFirst = std::fabs(oa) <= std::fabs(ob);
            spectra.Get(s, aFirst ? j : j + separation, w.re1, w.im1);
            spectra.Get(s, aFirst ? j + separation : j, w.re2, w.im2);
            ++result.pairs;
            distanceSum += distance;

            if (options.method == kCmpPhaseDifference) {
                w.zr.resize(static_cast<size_t>(n));
                w.zi.resize(static_cast<size_t>(n));
                CCorrelationDlg::CrossSpectrumRect(n, w.re1.data(), w.im1.data(), w.re2.data(), w.im2.data(),
                                                   w.zr.data(), w.zi.data());
                for (int k = 0; k < n; ++k) {
                    phaseSum[static_cast<size_t>(k)] += std::atan2(w.zi[static_cast<size_t>(k)], w.zr[static_cast<size_t>(k)]);
                }
                continue;
            }
            // The pair's trace: its correlation (all L lags) or its coherence (the first bins).
            w.normalised.resize(static_cast<size_t>(traceLength));
            // Bins above L/2 follow from those below (real traces): Z(L - k) = conj Z(k), and the
            // coherence is the same at both.
            const int half = L / 2;
            if (options.method == kCmpCrossCorrelation) {
                w.zr.resize(static_cast<size_t>(L));
                w.zi.resize(static_cast<size_t>(L));
                CCorrelationDlg::CrossSpectrumRect(half + 1, w.re1.data(), w.im1.data(), w.re2.data(), w.im2.data(),
                                                   w.zr.data(), w.zi.data());
                for (int k = half + 1; k < L; ++k) {
                    w.zr[static_cast<size_t>(k)] = w.zr[static_cast<size_t>(L - k)];
                    w.zi[static_cast<size_t>(k)] = -w.zi[static_cast<size_t>(L - k)];
                }
                CFourier::Fft(w.zi.data(), w.zr.data(), L, 0, 1);  // parts swapped: zr holds the lags
                for (int k = 0; k < L; ++k) w.normalised[static_cast<size_t>(k)] = static_cast<float>(w.zr[static_cast<size_t>(k)]);
            } else {
                const int direct = std::min(traceLength, half + 1);
                CoherencyFromSpectra(direct, w.re1, w.im1, w.re2, w.im2, w.normalised);
                for (int k = direct; k < traceLength; ++k) {
                    w.normalised[static_cast<size_t>(k)] = w.normalised[static_cast<size_t>(L - k)];
                }
            }
            const float largest = *std::max_element(w.normalised.begin(), w.normalised.end());
            for (float& v : w.normalised) v = largest > 0.0f ? v / largest : 0.0f;
            const std::vector<float>& normalised = w.normalised;
            for (int k = 0; k < traceLength; ++k) traceSum[static_cast<size_t>(k)] += normalised[static_cast<size_t>(k)];
            if (options.keepPairTraces) result.pairTraces.push_back(normalised);
        }
    }
    if (result.pairs == 0) return result;
    result.distance = distanceSum / result.pairs;
    if (options.method == kCmpPhaseDifference) {
        result.phase.assign(static_cast<size_t>(std::max(0, n - 1)), 0.0f);
        for (int k = 1; k < n; ++k) {
            result.phase[static_cast<size_t>(k - 1)] = static_cast<float>(phaseSum[static_cast<size_t>(k)] / result.pairs);
        }
        return result;
    }
    result.meanTrace.resize(static_cast<size_t>(traceLength));
    for (int k = 0; k < traceLength; ++k) {
        result.meanTrace[static_cast<size_t>(k)] = static_cast<float>(traceSum[static_cast<size_t>(k)] / result.pairs);
    }
    TracePhase(result.meanTrace, L, n, result.phase);
    return result;
}

// ---------------------------------------------------------------------------------------------
// One CMP, several separations

MultiSeparationResult MultiSeparationCurve(const CFileGroup& group, const CmpSpectra& spectra, double cmp, int s1,
                                           int s2, const CmpPairOptions& options, const CmpProgress& progress)
{
    MultiSeparationResult out;
    int largestBins = 0;
    // No pair is further apart than the table's receivers.
    for (int s = s1; s <= std::min(s2, group.receiverCount - 1); ++s) {
        CmpPairGatherResult g = CmpPairGather(group, spectra, cmp, s, options, progress);
        largestBins = std::max(largestBins, static_cast<int>(g.phase.size()));
        out.log += FormatC("%d %d %d %d dist=%f\n", s, largestBins, g.pairs, static_cast<int>(out.kept.size()),
                           g.distance * 100.0);
        if (g.pairs > 0 && g.distance > 0.0) out.kept.push_back({s, std::move(g)});
    }
    if (out.kept.empty()) return out;

    const double d0 = out.kept.front().gather.distance;
    const double df = out.kept.front().gather.df;
    size_t points = out.kept.front().gather.phase.size();
    for (const CmpSeparationGather& k : out.kept) points = std::min(points, k.gather.phase.size());
    std::vector<char> dropped(out.kept.size(), 0);
    for (size_t i = 0; i < points; ++i) {
        const double f = static_cast<double>(i + 1) * df;
        double sum = 0.0;
        int count = 0;
        for (size_t k = 0; k < out.kept.size(); ++k) {
            if (dropped[k]) continue;
            const double dk = out.kept[k].gather.distance;
            const double phi = out.kept[k].gather.phase[i];
            // Beyond 0.45 of the wavelength (a phase of 0 gives an infinite wavelength).
            if (phi != 0.0 && f > 5.0 && 2.0 * dk * f > 0.9 * std::fabs(kTwoPi * f * dk / phi)) {
                dropped[k] = 1;
                continue;
            }
            sum += phi * d0 / dk;
            ++count;
        }
        if (count == 0) continue;
        const double mean = sum / count;
        if (mean == 0.0) continue;
        out.points.push_back({static_cast<float>(f), static_cast<float>(std::fabs(kTwoPi * d0 * f / mean))});
    }
    return out;
}

std::vector<double> CmpPositions(double first, double last, double bin)
{
    std::vector<double> positions;
    if (!(bin > 0.0) || !std::isfinite(first) || !std::isfinite(last)) return positions;
    for (int i = 0;; ++i) {
        const double x = first + i * bin;
        if (x > last + 1e-6 || i > 1000000) break;
        positions.push_back(x);
    }
    return positions;
}

std::vector<CmpLineCurve> CmpLineCurves(const CFileGroup& group, const CmpSpectra& spectra,
                                        const std::vector<double>& positions, int s1, int s2,
                                        const CmpPairOptions& options, float minimumFrequency,
                                        float maximumFrequency, int threads)
{
    std::vector<CmpLineCurve> curves(positions.size());
    CmpPairOptions o = options;
    o.keepPairTraces = false;
    const int64_t cost = static_cast<int64_t>(spectra.Length()) * 64 * std::max(1, group.sourceCount);
    velocity_detail::ParallelFor(
        static_cast<int>(positions.size()), cost,
        [&](int first, int last) {
            for (int i = first; i < last; ++i) {
                CmpLineCurve& c = curves[static_cast<size_t>(i)];
                c.cmp = positions[static_cast<size_t>(i)];
                MultiSeparationResult r = MultiSeparationCurve(group, spectra, c.cmp, s1, s2, o);
                for (const CmpCurvePoint& p : r.points) {
                    if (static_cast<int>(c.points.size()) >= kMaxCurvePoints) break;
                    if (p.velocity > 0.0f && p.frequency >= minimumFrequency && p.frequency <= maximumFrequency) {
                        c.points.push_back(p);
                    }
                }
                if (!r.kept.empty()) {
                    c.separation = r.kept.front().separation;
                    c.trace = std::move(r.kept.front().gather.meanTrace);
                }
            }
        },
        threads);
    return curves;
}

CTraceHeader CmpPairTraceHeader(double cmp, int index, int samples, float intervalUs)
{
    CTraceHeader h;
    h.Set(index + 1, 100 * index, static_cast<int32_t>(std::trunc(cmp * 100.0 + 0.5)), 10, 1, 0.0f, intervalUs, samples);
    return h;
}

CTraceHeader CmpMeanTraceHeader(double cmp, int samples, float intervalUs)
{
    CTraceHeader h;
    h.Set(1, static_cast<int32_t>(std::trunc(cmp * 100.0 + 0.5)), 0, 10, 1, 0.0f, intervalUs, samples);
    return h;
}

}  // namespace velk
