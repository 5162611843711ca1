#include "dialogs/app/artwork.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/icon.h>

namespace velk {

wxBitmap ProgramBitmap(int size, const wxColour& background);

namespace {

// A decaying wavelet arriving at time t0 (0..1 of the width), sampled at x (0..1).
double Wavelet(double x, double t0, double frequency)
{
    const double t = x - t0;
    if (t < 0) return 0.0;
    return std::exp(-t * 9.0) * std::sin(2.0 * M_PI * frequency * t);
}

}  // namespace

wxBitmap ProgramBitmap(int size) { return ProgramBitmap(size, wxColour(24, 46, 78)); }

wxBitmap ProgramBitmap(int size, const wxColour& background)
{
    wxBitmap bitmap(size, size, 24);
    wxMemoryDC dc(bitmap);
    const double s = size;
    dc.SetBackground(wxBrush(background));
    dc.Clear();
    // Rounded frame.
    dc.SetPen(wxPen(wxColour(120, 170, 220), std::max(1, size / 24)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(0, 0, size, size);
    // Three traces with a first arrival moving out.
    const wxColour trace(236, 240, 244);
    for (int k = 0; k < 3; ++k) {
        const double y0 = s * (0.28 + 0.22 * k);
        const double arrival = 0.18 + 0.16 * k;
        std::vector<wxPoint> points;
        for (int i = 0; i <= size; ++i) {
            const double x = i / s;
            points.emplace_back(i, static_cast<int>(y0 - s * 0.13 * Wavelet(x, arrival, 6.0)));
        }
        dc.SetPen(wxPen(trace, std::max(1, size / 20)));
        dc.DrawLines(static_cast<int>(points.size()), points.data());
    }
    // The first-arrival line.
    dc.SetPen(wxPen(wxColour(255, 120, 60), std::max(1, size / 16)));
    dc.DrawLine(static_cast<int>(s * 0.18), static_cast<int>(s * 0.16), static_cast<int>(s * 0.50),
                static_cast<int>(s * 0.82));
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

wxIconBundle ProgramIcons() { return FrameIcons(128); }

wxIconBundle FrameIcons(int resource)
{
    wxIconBundle bundle;
    for (int size : {16, 32, 48, 64}) {
        wxBitmap bitmap;
        if (resource == 228 || resource == 238) {
            bitmap = ProgramBitmap(size, resource == 228 ? wxColour(28, 104, 56) : wxColour(150, 30, 30));
            // The watching (or armed) dot in the upper right corner.
            wxMemoryDC dc(bitmap);
            dc.SetPen(*wxWHITE_PEN);
            dc.SetBrush(wxBrush(resource == 228 ? wxColour(120, 255, 140) : wxColour(255, 220, 80)));
            const int r = std::max(2, size / 7);
            dc.DrawCircle(size - r - 2, r + 2, r);
            dc.SelectObject(wxNullBitmap);
        } else {
            bitmap = ProgramBitmap(size);
        }
        wxIcon icon;
        icon.CopyFromBitmap(bitmap);
        bundle.AddIcon(icon);
    }
    return bundle;
}

void DrawBanner(wxDC& dc, const wxRect& rect, const wxColour& accent)
{
    dc.GradientFillLinear(rect, wxColour(18, 36, 64), wxColour(30, 78, 110), wxSOUTH);
    const int traces = 14;
    const double spacing = rect.height / static_cast<double>(traces + 1);
    for (int k = 0; k < traces; ++k) {
        const double y0 = rect.y + spacing * (k + 1);
        // Arrivals on a refracted line: direct wave near the source, head wave beyond.
        const double offset = std::abs(k - 3.5) / traces;
        const double arrival = 0.08 + std::min(offset * 1.1, 0.12 + offset * 0.55);
        std::vector<wxPoint> points;
        for (int i = 0; i < rect.width; i += 2) {
            const double x = i / static_cast<double>(rect.width);
            const double noise = 0.05 * std::sin(97.0 * x + k * 1.7) * std::sin(31.0 * x + k);
            const double a = Wavelet(x, arrival, 18.0) + noise;
            points.emplace_back(rect.x + i, static_cast<int>(y0 - spacing * 0.9 * a));
        }
        dc.SetPen(wxPen(accent, 1));
        dc.DrawLines(static_cast<int>(points.size()), points.data());
    }
}

}  // namespace velk
