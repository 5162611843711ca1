#include "survey/wfft_export.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "dsp/wavelet.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/paths.h"

namespace velk {

std::string WfftExchangePath()
{
    std::error_code ec;
    std::filesystem::create_directories(DataRoot(), ec);
    return MapWindowsPath("c:\\wfft.dat");
}

int WfftDefaultWindow(int samples) { return std::clamp(PowerOfTwoLength(samples, 1) / 64, 4, 512); }

WfftLayout MakeWfftLayout(int samples, int windowLength, int range, float intervalUs)
{
    WfftLayout l;
    l.windowLength = windowLength;
    l.hop = windowLength / 4;
    l.bins = windowLength / (2 << std::clamp(range, 0, 3));
    l.windows = WfftWindowCount(samples, l.hop, windowLength);
    l.timeStepMs = static_cast<float>(l.hop) * intervalUs * 0.001f;
    l.frequencyStepHz = 1000000.0f / (static_cast<float>(windowLength) * intervalUs);
    return l;
}

void WriteWfft(ByteSink& sink, const Matrix2D<float>& rows, std::span<const int> selected, int samples,
               const WfftLayout& layout)
{
    sink.WriteI32(static_cast<int32_t>(selected.size()), ByteOrder::Little);
    sink.WriteI32(layout.windows, ByteOrder::Little);
    sink.WriteI32(layout.bins, ByteOrder::Little);
    sink.WriteF32(layout.timeStepMs, ByteOrder::Little);
    sink.WriteF32(layout.frequencyStepHz, ByteOrder::Little);
    if (layout.windows > 0) {
        const int p = PowerOfTwoLength(samples, 1);
        std::vector<double> re(static_cast<size_t>(p)), im(static_cast<size_t>(p));
        Matrix2D<float> spectra(0, layout.windows - 1, 0, std::max(layout.windowLength / 2, 1) - 1);
        for (const int trace : selected) {
            CBandPassDlg::PackRowComplex(rows.Row(trace), samples, p, re.data(), im.data());
            WfftSpectra(layout.windowLength, layout.windows, layout.hop, re, im, spectra);
            for (int w = 0; w < layout.windows; ++w) {
                const std::span<const float> row = std::as_const(spectra).Row(w);
                for (int k = 0; k < layout.bins; ++k) sink.WriteF32(row[static_cast<size_t>(k)], ByteOrder::Little);
            }
        }
    }
}

bool WriteWfftFile(const std::string& path, const Matrix2D<float>& rows, std::span<const int> selected,
                   int samples, const WfftLayout& layout, std::string* error)
{
    AtomicFileWriter file(path);
    ByteSink sink(file);
    WriteWfft(sink, rows, selected, samples, layout);
    if (!sink.Ok() || !file.Commit()) {
        if (error) *error = file.Error();
        return false;
    }
    return true;
}

}  // namespace velk
