#include "traveltime/modelling/fd_modelling.h"

#include <algorithm>
#include <cmath>

#include "dsp/wavelet.h"
#include "traveltime/modelling/fd_kernels.h"

namespace velk {

namespace {

constexpr int kRicker = 5;

int Cell(float position, float h) { return static_cast<int>(std::trunc(static_cast<double>(position) / h)); }

bool Inside(const VelocityModel& m, int column, int row) { return column >= 0 && column < m.nx && row >= 0 && row < m.nz; }

void SizeLevels(FdLevels& levels, size_t cells)
{
    for (FdLevel& level : levels) level.assign(cells, 0.0);
}

}  // namespace

size_t FdRunBytes(int nx, int nz, int scheme)
{
    if (nx <= 0 || nz <= 0) return 0;
    const size_t cells = static_cast<size_t>(nx) * static_cast<size_t>(nz);
    size_t bytes = 3 * cells * sizeof(double) + cells * (sizeof(float) + sizeof(float));  // levels, snapshot, density
    if (scheme == 3) bytes += 6 * cells * sizeof(double);
    if (scheme == 2) bytes += PseudoSpectralBytes(nx, nz);
    return bytes;
}

FdRefusal CheckFdRun(const VelocityModel& m)
{
    if (m.hasModel != 1 || m.nx <= 0 || m.nz <= 0 || m.velocity.size() != m.Cells()) return FdRefusal::NoModel;
    if (!Inside(m, Cell(m.sourceX, m.h), Cell(m.sourceDepth, m.h))) return FdRefusal::SourceOutside;
    for (int k = 0; k < VelocityModel::kReceivers; ++k)
        if (!Inside(m, m.receiverColumn[k], m.receiverRow[k])) return FdRefusal::ReceiverOutside;
    if (m.scheme == 2 && PseudoSpectralBytes(m.nx, m.nz) == 0) return FdRefusal::GridTooLarge;
    if (FdRunBytes(m.nx, m.nz, m.scheme) > kMaxWavefieldBytes) return FdRefusal::TooMuchMemory;
    return FdRefusal::None;
}

void BeginFdRun(VelocityModel& m, float dt, float frequency, int nonReflecting)
{
    m.dt = dt;
    m.runDt = dt;
    m.runFrequency = frequency;
    m.runNonReflecting = nonReflecting;
    m.continueSample = 0;
    m.recordLength = 0;
    m.record.clear();
    SizeLevels(m.wavefield, m.Cells());
    if (m.scheme == 3) {
        SizeLevels(m.particleVx, m.Cells());
        SizeLevels(m.particleVz, m.Cells());
    }
}

void RunFdPortion(VelocityModel& m, WorkerPool* pool, const std::function<void(int)>& progress)
{
    const size_t cells = m.Cells();
    // A model made or changed since the run began (or a scheme changed to the staggered one)
    // gets levels of its own size.
    if (m.wavefield[0].size() != cells) SizeLevels(m.wavefield, cells);
    if (m.scheme == 3 && (m.particleVx[0].size() != cells || m.particleVz[0].size() != cells)) {
        SizeLevels(m.particleVx, cells);
        SizeLevels(m.particleVz, cells);
    }
    // Density of this run only: constant impedance when the condition is on.
    std::vector<float> density(cells, 2000.0f);
    if (m.runNonReflecting) {
        for (size_t c = 0; c < cells; ++c)
            density[c] = m.velocity[c] > 0.0f ? static_cast<float>(6000000.0 / m.velocity[c]) : m.density.size() == cells ? m.density[c] : 2000.0f;
    } else if (m.density.size() == cells) {
        density = m.density;
    }
    PseudoSpectralGrid ps;
    if (m.scheme == 2) SetupPseudoSpectralGrid(ps, m.nx, m.nz, m.h);

    const int start = std::max(m.continueSample, 1);
    const int end = start + m.sampleCount;
    const int count = m.sampleCount + m.continueSample + 1;
    std::vector<float> wavelet(static_cast<size_t>(CWaveletDlg::WaveletLength(kRicker, count)), 0.0f);
    CWaveletDlg::MakeWavelet(kRicker, 0, count, wavelet, m.runFrequency, 0.0f, 0.0f, 0.0f, m.runDt);

    // The record grows to `end` samples per receiver, the samples so far kept.
    if (m.recordLength < end) {
        std::vector<float> grown(static_cast<size_t>(VelocityModel::kReceivers) * static_cast<size_t>(end), 0.0f);
        for (int k = 0; k < VelocityModel::kReceivers && m.recordLength > 0; ++k)
            std::copy_n(m.record.begin() + static_cast<ptrdiff_t>(k) * m.recordLength, m.recordLength,
                        grown.begin() + static_cast<ptrdiff_t>(k) * end);
        m.record = std::move(grown);
        m.recordLength = end;
    }

    const FdGrid g{m.nx, m.nz, m.h, m.runDt, m.velocity, density, pool};
    const size_t source = static_cast<size_t>(Cell(m.sourceDepth, m.h)) * static_cast<size_t>(m.nx) +
                          static_cast<size_t>(Cell(m.sourceX, m.h));
    int newest = 0;
    for (int s = start; s < end; ++s) {
        const FdStep step{(s + 2) % 3, (s + 1) % 3, s % 3};
        m.wavefield[static_cast<size_t>(step.current)][source] += static_cast<double>(wavelet[static_cast<size_t>(s)]);
        if (progress) progress(s);
        switch (m.scheme) {
        case 0:
            FdStepOrder2(m.wavefield, g, step);
            break;
        case 2:
            FdStepPseudoSpectral(m.wavefield, g, step, ps);
            break;
        case 3:
            FdStepStaggered(m.wavefield, m.particleVx, m.particleVz, g, step);
            break;
        default:
            FdStepOrder4(m.wavefield, g, step);
            break;
        }
        const FdLevel& level = m.wavefield[static_cast<size_t>(step.newLevel)];
        for (int k = 0; k < VelocityModel::kReceivers; ++k) {
            const size_t cell = static_cast<size_t>(m.receiverRow[k]) * static_cast<size_t>(m.nx) +
                                static_cast<size_t>(m.receiverColumn[k]);
            m.record[static_cast<size_t>(k) * static_cast<size_t>(m.recordLength) + static_cast<size_t>(s)] =
                static_cast<float>(-level[cell]);
        }
        newest = step.newLevel;
    }
    m.continueSample = end;

    const FdLevel& level = m.wavefield[static_cast<size_t>(newest)];
    m.snapshot.resize(cells);
    float lo = 0.0f, hi = 0.0f;
    for (size_t c = 0; c < cells; ++c) {
        const float value = static_cast<float>(level[c]);
        m.snapshot[c] = value;
        lo = std::min(lo, value);
        hi = std::max(hi, value);
    }
    m.snapshotMin = lo;
    m.snapshotMax = hi;
}

GeneratedTraces FdRunRecord(const VelocityModel& m)
{
    GeneratedTraces rec;
    const int samples = std::min(m.continueSample, m.recordLength);
    rec.Resize(VelocityModel::kReceivers, samples, m.runDt * 1000.0f);
    for (int k = 0; k < VelocityModel::kReceivers; ++k) {
        std::copy_n(m.record.begin() + static_cast<ptrdiff_t>(k) * m.recordLength, samples, rec.Trace(k).begin());
        const int metres = static_cast<int>(std::trunc(static_cast<double>(m.h) * m.receiverColumn[k]));
        rec.headers[static_cast<size_t>(k)].Set(k + 1, metres * 100, 0, 1, 1, 1.0f, m.runDt * 1000000.0f, samples);
    }
    return rec;
}

}  // namespace velk
