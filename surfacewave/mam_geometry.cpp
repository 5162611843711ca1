#include "surfacewave/mam_geometry.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "base/settings_io.h"
#include "dsp/fourier.h"
#include "formats/format_support.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "base/plane_coordinates.h"
#include "surfacewave/spac_kernels.h"

namespace velk {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;
// Metres per degree of the zone-less GPS conversion.
constexpr double kMetresPerDegreeLatitude = 110952.0;
constexpr double kMetresPerDegreeLongitude = 91288.0;

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

// The half-arm step count m of an "L 2m+1" preset, 0 for the others.
int LArmSteps(int preset)
{
    switch (preset) {
    case CMamGeometry::kL5: return 2;
    case CMamGeometry::kL7: return 3;
    case CMamGeometry::kL9: return 4;
    case CMamGeometry::kL11: return 5;
    case CMamGeometry::kL13: return 6;
    default: return 0;
    }
}

void Place(std::vector<CTraceHeaderEx>& r, size_t i, double x, double y)
{
    r[i].x = static_cast<float>(x);
    r[i].y = static_cast<float>(y);
}

// The preset's coordinates into the first receivers (enough of them exist).
void PlacePreset(int preset, float arraySize, float angle, float linearSpacing, std::vector<CTraceHeaderEx>& r)
{
    const double a = arraySize;
    const double cos30 = std::cos(30.0 * kDegree), tan30 = std::tan(30.0 * kDegree);
    switch (preset) {
    case CMamGeometry::kTriangle4:
        Place(r, 0, 0.0, 0.0);
        Place(r, 1, a, 0.0);
        Place(r, 2, a / 2, a * cos30);
        Place(r, 3, a / 2, a / 2 * tan30);
        return;
    case CMamGeometry::kTriangle7:
    case CMamGeometry::kTriangle10:
        Place(r, 0, 0.0, 0.0);
        Place(r, 1, a / 2, 0.0);
        Place(r, 2, a, 0.0);
        Place(r, 3, 3 * a / 4, a / 2 * cos30);
        Place(r, 4, a / 2, a * cos30);
        Place(r, 5, a / 4, a / 2 * cos30);
        if (preset == CMamGeometry::kTriangle7) {
            Place(r, 6, a / 2, a / 2 * tan30);
            return;
        }
        Place(r, 6, a / 2 - a / 8, a / 4 * cos30);
        Place(r, 7, a / 2 + a / 8, a / 4 * cos30);
        Place(r, 8, a / 2, a / 2 * cos30);
        Place(r, 9, a / 2, a / 2 * tan30);
        return;
    case CMamGeometry::kSingleCircle9:
        Place(r, 0, 0.0, 0.0);
        for (int i = 1; i <= 8; ++i) {
            const double t = 45.0 * (i - 1) * kDegree;
            Place(r, static_cast<size_t>(i), a / 2 * std::cos(t), a / 2 * std::sin(t));
        }
        return;
    case CMamGeometry::kDoubleCircle37:
        Place(r, 0, 0.0, 0.0);
        for (int i = 1; i <= 36; ++i) {
            const double radius = i <= 18 ? a / 4 : a / 2;
            const double t = 20.0 * (i <= 18 ? i - 1 : i - 19) * kDegree;
            Place(r, static_cast<size_t>(i), radius * std::cos(t), radius * std::sin(t));
        }
        return;
    case CMamGeometry::kLinearArray:
        for (size_t i = 0; i < r.size(); ++i) Place(r, i, static_cast<double>(i) * linearSpacing, 0.0);
        return;
    default: break;
    }
    if (const int m = LArmSteps(preset); m > 0) {
        const double step = a / m, t = angle * kDegree;
        for (int i = 0; i <= m; ++i) {
            const double d = a - step * i;
            Place(r, static_cast<size_t>(i), d * std::cos(t), d * std::sin(t));
        }
        for (int i = m + 1; i <= 2 * m; ++i) Place(r, static_cast<size_t>(i), step * (i - m), 0.0);
    }
}

std::vector<CTraceHeaderEx> ReceiversFromHeaders(int count, std::span<const CTraceHeader> headers)
{
    std::vector<CTraceHeaderEx> r(static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < r.size() && i < headers.size(); ++i) static_cast<CTraceHeader&>(r[i]) = headers[i];
    return r;
}

}  // namespace

std::string ArrayGeometryErrorText(int language)
{
    return Msg(language, "Error in micro-tremor array geometry !", "微動アレイのジオメトリにエラーがあります !");
}

CMamGeometry::CMamGeometry(const Profile& profile, int maxTraces)
    : spacings(static_cast<size_t>(std::max(maxTraces, 0)), 0.0f),
      usable(static_cast<size_t>(std::max(maxTraces, 0)), 1)
{
    LoadArrayGeometrySettings(profile);
}

void CMamGeometry::LoadArrayGeometrySettings(const Profile& profile)
{
    iGeometry = 2;
    ArraySize = 20.0f;
    Angle = 90.0f;
    nReceiver = 12;
    SpacingForLinearArray = 10.0f;
    ReadSettingFloat(profile, kArraySizeKey, ArraySize);
    ReadSettingInt(profile, kGeometryKey, iGeometry);
    ReadSettingFloat(profile, kAngleKey, Angle);
    ReadSettingInt(profile, kReceiverCountKey, nReceiver);
    ReadSettingFloat(profile, kLinearSpacingKey, SpacingForLinearArray);
    ResetUsableChannels();
}

void CMamGeometry::SaveArrayGeometrySettings(Profile& profile) const
{
    WriteSettingFloat(profile, kArraySizeKey, ArraySize);
    WriteSettingInt(profile, kGeometryKey, iGeometry);
    WriteSettingFloat(profile, kAngleKey, Angle);
    WriteSettingInt(profile, kReceiverCountKey, nReceiver);
    WriteSettingFloat(profile, kLinearSpacingKey, SpacingForLinearArray);
}

void CMamGeometry::ResetUsableChannels() { std::fill(usable.begin(), usable.end(), 1); }

int CMamGeometry::PresetReceiverCount(int preset)
{
    switch (preset) {
    case kTriangle4: return 4;
    case kTriangle7: return 7;
    case kTriangle10: return 10;
    case kSingleCircle9: return 9;
    case kDoubleCircle37: return 37;
    default: break;
    }
    const int m = LArmSteps(preset);
    return m > 0 ? 2 * m + 1 : 0;
}

bool CMamGeometry::BuildArrayGeometry(int& traceCount, std::span<const CTraceHeader> headers, const MamContext& ctx)
{
    const int traces = std::clamp(traceCount, 0, static_cast<int>(headers.size()));
    if (iGeometry == kTriangle13) {
        Warn(ctx.ui, Msg(ctx.language,
                         "\"Triangle 13\" has no receiver coordinates: choose another array or \"Manual array\" !",
                         "「Triangle 13」には受振点の座標がありません: 他のアレイか「Manual array」を選んでください !"));
        return false;
    }
    if (iGeometry < 0 || iGeometry >= kPresetCount) {
        Warn(ctx.ui, ArrayGeometryErrorText(ctx.language));
        return false;
    }
    const int fixed = PresetReceiverCount(iGeometry);
    const int needed = fixed > 0 ? fixed : nReceiver;
    if (needed < 1 || traces < needed) {
        Warn(ctx.ui, ArrayGeometryErrorText(ctx.language));
        return false;
    }

    std::vector<CTraceHeaderEx> built;
    if (iGeometry == kManualArray) {
        built = receivers;
        if (static_cast<int>(built.size()) < needed) {
            const std::vector<CTraceHeaderEx> more = ReceiversFromHeaders(needed, headers);
            built.insert(built.end(), more.begin() + static_cast<std::ptrdiff_t>(built.size()), more.end());
        }
        built.resize(static_cast<size_t>(needed));
    } else {
        built = ReceiversFromHeaders(needed, headers);
        PlacePreset(iGeometry, ArraySize, Angle, SpacingForLinearArray, built);
    }
    if (reverse == 1) ReverseReceiverOrder(needed, built);

    const std::vector<float> list = ArraySpacings(built, needed);
    if (static_cast<int>(list.size()) > Capacity()) {
        Warn(ctx.ui, Msg(ctx.language, "Number of SPAC traces is larger than dimension size !",
                         "SPACのトレース数が配列の大きさを超えています !"));
        Warn(ctx.ui, ArrayGeometryErrorText(ctx.language));
        return false;
    }

    receivers = std::move(built);
    std::string geometryText;
    for (const CTraceHeaderEx& r : receivers) {
        geometryText += FormatC("%f %f \n", static_cast<double>(r.x), static_cast<double>(r.y));
    }
    ctx.log.Rewrite("mam_geometry.txt", geometryText);
    spacingCount = static_cast<int32_t>(list.size());
    std::fill(spacings.begin(), spacings.end(), 0.0f);
    std::copy(list.begin(), list.end(), spacings.begin());
    std::string spacingText;
    for (int k = 0; k < spacingCount; ++k) {
        spacingText += FormatC("%d %f \n", k, static_cast<double>(spacings[static_cast<size_t>(k)]));
    }
    ctx.log.Rewrite("mam_spacing.txt", spacingText);
    nReceiver = needed;
    if (ctx.profile) SaveArrayGeometrySettings(*ctx.profile);
    traceCount = needed;
    return true;
}

void CMamGeometry::ReverseReceiverOrder(int count, std::vector<CTraceHeaderEx>& receivers)
{
    const int n = std::clamp(count, 0, static_cast<int>(receivers.size()));
    for (int i = 0; i < n / 2; ++i) {
        CTraceHeaderEx& a = receivers[static_cast<size_t>(i)];
        CTraceHeaderEx& b = receivers[static_cast<size_t>(n - 1 - i)];
        std::swap(a.x, b.x);
        std::swap(a.y, b.y);
    }
}

std::vector<float> CMamGeometry::ArraySpacings(std::span<const CTraceHeaderEx> receivers, int count)
{
    const size_t n = static_cast<size_t>(std::clamp(count, 0, static_cast<int>(receivers.size())));
    std::vector<float> list;
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i; j < n; ++j) {
            const float d = receivers[i].DistanceTo(receivers[j]);
            const auto at = std::lower_bound(list.begin(), list.end(), d - kSpacingTolerance);
            if (at != list.end() && std::fabs(*at - d) < kSpacingTolerance) continue;
            if (at != list.begin() && std::fabs(*(at - 1) - d) < kSpacingTolerance) continue;
            list.insert(std::upper_bound(list.begin(), list.end(), d), d);
        }
    }
    return list;
}

int CMamGeometry::ComputeArraySpacings(std::span<const CTraceHeaderEx> receivers, int count)
{
    const std::vector<float> list = ArraySpacings(receivers, count);
    spacingCount = static_cast<int32_t>(std::min(list.size(), spacings.size()));
    std::copy_n(list.begin(), spacingCount, spacings.begin());
    return spacingCount;
}

int CMamGeometry::ParseUnusedChannels(std::string_view text, UiHost* ui, int language)
{
    std::string copy(text);
    const char* p = copy.c_str();
    int read = 0;
    std::string marked;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == ',') ++p;
        if (*p == '\0') break;
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(p, &end, 10);
        if (end == p) break;
        p = end;
        ++read;
        if (errno == 0 && value >= 0 && value < Capacity()) {
            usable[static_cast<size_t>(value)] = 0;
            marked += FormatC(" %d ", static_cast<int>(value));
        }
    }
    if (read > 0 && ui) {
        ui->Message(FormatC(Msg(language, "# of unuseful channels = %d : ", "使用しないチャンネルの数 = %d : ").c_str(),
                            read) +
                    marked);
    }
    return read;
}

int CMamGeometry::ReadReceiverLocationsText(int traceCount, std::span<const CTraceHeader> headers,
                                            std::string_view text)
{
    const int traces = std::clamp(traceCount, 0, static_cast<int>(headers.size()));
    receivers = ReceiversFromHeaders(traces, headers);
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    int pairs = 0;
    std::string xs, ys;
    while (pairs < traces && (in >> xs >> ys)) {
        const std::optional<float> x = ParseFloat(xs), y = ParseFloat(ys);
        if (!x || !y) break;
        receivers[static_cast<size_t>(pairs)].x = *x;
        receivers[static_cast<size_t>(pairs)].y = *y;
        ++pairs;
    }
    spacingCount = pairs;
    return pairs;
}

int CMamGeometry::ReadReceiverLocations(int traceCount, std::span<const CTraceHeader> headers,
                                        const std::string& path, UiHost& ui, int language)
{
    constexpr std::streamoff kLargest = 16 << 20;
    std::ifstream file(path, std::ios::binary);
    if (!file) return -1;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kLargest) return -1;
    file.seekg(0);
    std::string text(static_cast<size_t>(size), '\0');
    file.read(text.data(), size);
    text.resize(static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    const int pairs = ReadReceiverLocationsText(traceCount, headers, text);
    ui.Message(FormatC(Msg(language, "Number of receiver location = %d ", "受振点の位置の数 = %d ").c_str(), pairs));
    return pairs;
}

bool CMamGeometry::WriteReceiverLocations(int traceCount, std::span<const CTraceHeaderEx> receivers,
                                          const std::string& path)
{
    return WriteFileAtomically(path, ReceiverLocationsText(traceCount, receivers));
}

std::string CMamGeometry::ReceiverLocationsText(int traceCount, std::span<const CTraceHeaderEx> receivers)
{
    std::string text;
    const size_t n = static_cast<size_t>(std::clamp(traceCount, 0, static_cast<int>(receivers.size())));
    for (size_t i = 0; i < n; ++i) {
        text += FormatC("%f %f \n", static_cast<double>(receivers[i].x), static_cast<double>(receivers[i].y));
    }
    return text;
}

int CMamGeometry::GeometryFromGps(int traceCount, std::span<const CTraceHeader> headers,
                                  std::span<CTraceHeaderEx> extended, int zone, UiHost& ui, int language)
{
    if (zone >= 0 && !IsPlaneZone(zone)) {
        Warn(ui, FormatC(Msg(language, "The coordinate zone %d has no origin: choose a zone from 1 to 19 !",
                             "座標系 %d には原点がありません: 1 から 19 の座標系を選んでください !")
                             .c_str(),
                         zone));
        return 0;
    }
    const int traces = std::clamp(traceCount, 0, static_cast<int>(std::min(headers.size(), extended.size())));
    std::vector<double> xs(static_cast<size_t>(traces)), ys(static_cast<size_t>(traces));
    for (size_t i = 0; i < xs.size(); ++i) {
        const double latitude = extended[i].latitude, longitude = extended[i].longitude;
        if (zone < 0) {
            xs[i] = kMetresPerDegreeLatitude * latitude;
            ys[i] = kMetresPerDegreeLongitude * longitude;
        } else if (!LatLonToPlaneXY(latitude * kDegree, longitude * kDegree, zone, xs[i], ys[i])) {
            xs[i] = ys[i] = 0.0;
        }
    }
    double minX = std::numeric_limits<double>::infinity(), minY = minX;
    for (size_t i = 0; i < xs.size(); ++i) {
        minX = std::min(minX, xs[i]);
        minY = std::min(minY, ys[i]);
    }
    receivers = ReceiversFromHeaders(traces, headers);
    for (size_t i = 0; i < xs.size(); ++i) {
        extended[i].x = static_cast<float>(xs[i]);
        extended[i].y = static_cast<float>(ys[i]);
        receivers[i].x = static_cast<float>(xs[i] - minX);
        receivers[i].y = static_cast<float>(ys[i] - minY);
    }
    nReceiver = traces;
    iGeometry = kManualArray;
    return traces;
}

std::vector<int> CMamGeometry::ReceiverChannels(int receiverCount, int recordTraces) const
{
    std::vector<int> channels;
    const int limit = std::min(recordTraces, Capacity());
    int c = std::max(startChannel, 0);
    for (int f = 0; f < receiverCount; ++f) {
        while (c < limit && usable[static_cast<size_t>(c)] == 0) ++c;
        if (c >= limit) return {};
        channels.push_back(c);
        ++c;
    }
    return channels;
}

int CMamGeometry::Spac2D(int receiverCount, int samples, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                         int resolution, int recordTraces, LogSink& log) const
{
    receiverCount = std::min(receiverCount, static_cast<int>(receivers.size()));
    if (receiverCount <= 0 || samples <= 0) return 0;
    const std::vector<int> channels = ReceiverChannels(receiverCount, std::min(recordTraces, static_cast<int>(rows.Rows())));
    if (channels.empty()) return 0;
    const int nfft = ResolutionFftLength(samples, resolution);
    const auto length = static_cast<size_t>(nfft);
    const auto width = static_cast<size_t>(std::min(samples, nfft));
    std::string text;

    // The receivers' spectra, private until the rows are written.
    const auto n = static_cast<size_t>(receiverCount);
    std::vector<double> re(n * length, 0.0), im(n * length, 0.0);
    std::vector<char> valid(n, 0);
    for (size_t f = 0; f < n; ++f) {
        const int c = channels[f];
        text += FormatC("%d %d %d \n", static_cast<int>(f), c, usable[static_cast<size_t>(c)]);
        const std::span<const float> row = rows.Row(rows.RowLow() + c);
        const size_t own = std::min({static_cast<size_t>(samples), row.size(), length});
        double* r = re.data() + f * length;
        float largest = -std::numeric_limits<float>::infinity();
        for (size_t j = 0; j < own; ++j) {
            r[j] = row[j];
            largest = std::max(largest, row[j]);
        }
        valid[f] = own > 0 && largest > 0.0f ? 1 : 0;
        CFourier::Fft(r, im.data() + f * length, nfft, 0, 0);
    }

    const auto rowCount = static_cast<size_t>(std::max(spacingCount, 0));
    std::vector<double> sums(rowCount * width, 0.0);
    std::vector<int> counts(rowCount, 0);
    std::vector<float> rho(width);
    for (size_t f = 0; f + 1 < n; ++f) {
        if (!valid[f]) continue;
        for (size_t g = f; g < n; ++g) {
            if (!valid[g]) continue;
            const float d = receivers[f].DistanceTo(receivers[g]);
            size_t k = 0;
            while (k < rowCount && !(std::fabs(d - spacings[k]) < kSpacingTolerance)) ++k;
            if (k == rowCount) continue;
            const std::span<const double> ar(re.data() + f * length, width), ai(im.data() + f * length, width);
            const std::span<const double> br(re.data() + g * length, width), bi(im.data() + g * length, width);
            CoherencyFromSpectra(static_cast<int>(width), ar, ai, br, bi, rho);
            double* sum = sums.data() + k * width;
            for (size_t j = 0; j < width; ++j) sum[j] += rho[j];
            ++counts[k];
            text += FormatC("%d %d spacing=%f k=%d nk=%d\n", static_cast<int>(f), static_cast<int>(g),
                            static_cast<double>(d), static_cast<int>(k), counts[k]);
        }
    }

    std::vector<float> mean(width), smooth(width);
    for (size_t k = 0; k < rowCount && k < rows.Rows(); ++k) {
        text += FormatC("%d %d \n", static_cast<int>(k), counts[k]);
        const double* sum = sums.data() + k * width;
        for (size_t j = 0; j < width; ++j) {
            mean[j] = counts[k] > 0 ? static_cast<float>(sum[j] / counts[k]) : 0.0f;
        }
        smooth = mean;
        for (size_t j = 1; j + 1 < width; ++j) smooth[j] = (mean[j - 1] + mean[j] + mean[j + 1]) * 0.33333334f;
        const std::span<float> out = rows.Row(rows.RowLow() + static_cast<int>(k));
        std::copy_n(smooth.begin(), std::min(width, out.size()), out.begin());
        if (k < headers.size()) headers[k].receiverHundredths = static_cast<int32_t>(std::trunc(spacings[k] * 100.0));
    }
    log.Rewrite(kSpac2DLog, text);
    return nfft;
}

}  // namespace velk
