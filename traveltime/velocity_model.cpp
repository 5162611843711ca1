#include "traveltime/velocity_model.h"

#include <algorithm>
#include <cmath>

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr float kThird = 0.33333334f;
constexpr float kUnreached = 10000.0f;
constexpr float kSqrt2 = 1.41421356f;

void CreateModel(VelocityModel& model)
{
    model.nx = VelocityModel::kCreatedSize;
    model.nz = VelocityModel::kCreatedSize;
    model.h = 1.0f;
    const size_t cells = model.Cells();
    model.velocity.assign(cells, 3000.0f);
    model.density.assign(cells, 2000.0f);
    // The traveltimes and the snapshot of an earlier model stay until they are computed again.
    if (model.traveltime.size() != cells) model.traveltime.assign(cells, 0.0f);
    if (model.snapshot.size() != cells) model.snapshot.assign(cells, 0.0f);
    model.velocityMin = 2000.0f;
    model.velocityMax = 4000.0f;
    model.sourceX = 100.0f;
    model.sourceDepth = 100.0f;
    model.hasModel = 1;
}

}  // namespace

DialogRequest CModelingDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Modeling", "モデリング"));
    r.Float("Source location", location).Label(Msg(language, "Source location =", "震源位置 =")).Unit("m");
    r.Float("Source depth", depth).Label(Msg(language, "Source depth =", "震源の深さ =")).Unit("m");
    return r;
}

void CreateHomogeneousModel(VelocityModel& model) { CreateModel(model); }

void CreateTwoLayerModel(VelocityModel& model)
{
    CreateModel(model);
    for (int k = 0; k < model.nz; ++k) {
        const float v = k < 100 ? 2000.0f : 4000.0f;
        std::fill_n(model.velocity.begin() + static_cast<std::ptrdiff_t>(k) * model.nx, model.nx, v);
    }
    model.sourceDepth = 50.0f;
}

void SmoothGrid(int nx, int nz, std::span<float> grid)
{
    if (nx < 3 || nz < 3 || grid.size() < static_cast<size_t>(nx) * static_cast<size_t>(nz)) return;
    // Two rows of the grid as it was before each pass are all the copy the passes need.
    std::vector<float> before(static_cast<size_t>(nx)), above(static_cast<size_t>(nx));
    auto row = [&](int k) { return grid.subspan(static_cast<size_t>(k) * nx, static_cast<size_t>(nx)); };
    for (int k = 1; k < nz - 1; ++k) {
        const auto r = row(k);
        std::copy(r.begin(), r.end(), before.begin());
        for (int i = 1; i < nx - 1; ++i) r[i] = kThird * (before[i - 1] + before[i] + before[i + 1]);
    }
    std::copy_n(row(0).begin(), nx, above.begin());
    for (int k = 1; k < nz - 1; ++k) {
        const auto r = row(k), below = row(k + 1);
        std::copy(r.begin(), r.end(), before.begin());
        for (int i = 1; i < nx - 1; ++i) r[i] = kThird * (above[i] + before[i] + below[i]);
        std::swap(above, before);
    }
}

void VelocityModel::ClearWavefield()
{
    for (auto* levels : {&wavefield, &particleVx, &particleVz})
        for (FdLevel& level : *levels) std::fill(level.begin(), level.end(), 0.0);
}

void SmoothVelocityModel(VelocityModel& model)
{
    if (model.velocity.size() == model.Cells()) SmoothGrid(model.nx, model.nz, model.velocity);
    model.ClearWavefield();
}

void SolveRingSide(int n, std::span<const float> sIn, std::span<const float> sOut, std::span<const float> T,
                   std::span<float> out, float h)
{
    if (n <= 0) return;
    auto straight = [&](int j) { return T[j] + h * (sIn[j] + sOut[j]) * 0.5f; };
    if (n == 1) {
        out[0] = straight(0);
        return;
    }
    std::fill_n(out.begin(), n, kUnreached);
    for (int j = 1; j + 1 < n; ++j) {
        if (T[j] < T[j - 1] && T[j] < T[j + 1]) {
            const float a = h * (sIn[j] + sOut[j]) * 0.5f;
            const float dt = T[j - 1] - T[j + 1];
            const float d = a * a - dt * dt * 0.25f;
            out[j] = d > 1e-6f ? T[j] + std::sqrt(d) : T[j] + a;
        }
    }
    // Where the inner times fall toward an end of the side, the side has no interior minimum
    // and nothing above seeds it: the cells nearest the source are seeded straight outward.
    const float smallest = *std::min_element(T.begin(), T.begin() + n);
    for (int j = 0; j < n; ++j) {
        if (T[j] == smallest && out[j] >= kUnreached) out[j] = straight(j);
    }
    // From cell j into its neighbour m on the side, across the square of both cells and their
    // inner neighbours.
    auto step = [&](int j, int m) {
        const float s = (sIn[j] + sIn[m] + sOut[j] + sOut[m]) * 0.25f;
        const float q = h * s;
        const float dt = out[j] - T[m];
        const float d = 2.0f * q * q - dt * dt;
        float c;
        if (d > 1e-6f) {
            c = T[j] + std::sqrt(d);
        } else {
            c = std::min({out[j] + h * (sOut[j] + sOut[m]) * 0.5f, T[m] + h * (sOut[m] + sIn[m]) * 0.5f,
                          T[j] + kSqrt2 * h * (sOut[m] + sIn[j]) * 0.5f});
        }
        out[m] = std::min(out[m], c);
    };
    for (int j = 0; j + 1 < n; ++j) {
        if (out[j] < 9999.0f) step(j, j + 1);
    }
    for (int j = n - 1; j >= 1; --j) step(j, j - 1);
}

bool TraceTravelTimes(std::vector<float>& traveltime, std::span<const float> velocity, int nz, int nx, float h,
                      int sourceColumn, int sourceRow)
{
    if (nx <= 0 || nz <= 0) return false;
    const size_t cells = static_cast<size_t>(nx) * static_cast<size_t>(nz);
    if (velocity.size() != cells || sourceColumn < 0 || sourceColumn >= nx || sourceRow < 0 || sourceRow >= nz) {
        return false;
    }
    std::vector<float> slowness(cells);
    for (size_t c = 0; c < cells; ++c) slowness[c] = 1.0f / (velocity[c] * 0.001f);
    SmoothGrid(nx, nz, slowness);
    SmoothGrid(nx, nz, slowness);
    traveltime.assign(cells, 0.0f);

    auto idx = [nx](int i, int k) { return static_cast<size_t>(k) * nx + i; };
    const int longest = std::max(nx, nz);
    std::vector<float> sIn(static_cast<size_t>(longest)), sOut(sIn.size()), T(sIn.size()), out(sIn.size());

    // A row side (dk = -1 above the source, +1 below) or a column side (di likewise).
    auto rowSide = [&](int k, int inner, int first, int last) {
        const int n = last - first + 1;
        for (int j = 0; j < n; ++j) {
            const int i = first + j;
            sIn[j] = slowness[idx(i, inner)];
            sOut[j] = slowness[idx(i, k)];
            T[j] = traveltime[idx(i, inner)];
        }
        SolveRingSide(n, sIn, sOut, T, out, h);
        for (int j = 0; j < n; ++j) traveltime[idx(first + j, k)] = out[j];
    };
    auto columnSide = [&](int i, int inner, int first, int last) {
        const int n = last - first + 1;
        for (int j = 0; j < n; ++j) {
            const int k = first + j;
            sIn[j] = slowness[idx(inner, k)];
            sOut[j] = slowness[idx(i, k)];
            T[j] = traveltime[idx(inner, k)];
        }
        SolveRingSide(n, sIn, sOut, T, out, h);
        for (int j = 0; j < n; ++j) traveltime[idx(i, first + j)] = out[j];
    };
    // A corner (ci, ck) from its diagonal inner neighbour (di, dk) and the ring cells beside it.
    auto corner = [&](int ci, int ck, int di, int dk) {
        const size_t c = idx(ci, ck), d = idx(di, dk), a = idx(di, ck), b = idx(ci, dk);
        const float s = (slowness[c] + slowness[d] + slowness[a] + slowness[b]) * 0.25f;
        const float q = h * s;
        float t;
        if (2.0f * q * q > 1e-6f) {
            t = traveltime[d] + std::sqrt(2.0f * q * q);
        } else {
            t = std::min({traveltime[a] + h * (slowness[a] + slowness[c]) * 0.5f,
                          traveltime[b] + h * (slowness[b] + slowness[c]) * 0.5f,
                          traveltime[d] + kSqrt2 * h * (slowness[d] + slowness[c]) * 0.5f});
        }
        traveltime[c] = t;
    };

    for (int w = 0;; ++w) {
        const int r = w + 1;
        const int top = sourceRow - r, bottom = sourceRow + r, left = sourceColumn - r, right = sourceColumn + r;
        const bool hasTop = top >= 0, hasBottom = bottom < nz, hasLeft = left >= 0, hasRight = right < nx;
        if (!hasTop && !hasBottom && !hasLeft && !hasRight) break;
        const int i0 = std::max(left + 1, 0), i1 = std::min(right - 1, nx - 1);
        const int k0 = std::max(top + 1, 0), k1 = std::min(bottom - 1, nz - 1);
        if (hasTop) rowSide(top, top + 1, i0, i1);
        if (hasBottom) rowSide(bottom, bottom - 1, i0, i1);
        if (hasLeft) columnSide(left, left + 1, k0, k1);
        if (hasRight) columnSide(right, right - 1, k0, k1);
        if (hasTop && hasLeft) corner(left, top, left + 1, top + 1);
        if (hasTop && hasRight) corner(right, top, right - 1, top + 1);
        if (hasBottom && hasLeft) corner(left, bottom, left + 1, bottom - 1);
        if (hasBottom && hasRight) corner(right, bottom, right - 1, bottom - 1);
    }
    return true;
}

}  // namespace velk
