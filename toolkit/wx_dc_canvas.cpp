#include "toolkit/wx_dc_canvas.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include "draw/parallel.h"
#include "draw/trace_line.h"

namespace velk {
namespace {

// The toolkit's renderer keeps coordinates in 24.8 fixed point: stay well inside it.
constexpr int32_t kToolkitLimit = 1 << 22;

int32_t ToolkitCoordinate(int32_t v) { return std::clamp(v, -kToolkitLimit, kToolkitLimit); }

wxColour W(Rgb c) { return wxColour(c.r, c.g, c.b); }

wxString Text(std::string_view utf8) { return wxString::FromUTF8(utf8.data(), utf8.size()); }

// Fills without an outline are drawn without smoothing their edges: a pixel is painted when its
// centre lies inside, so cells that meet leave no seam, and a path of several cells paints
// exactly what the cells paint one by one.
class SharpFills {
public:
    explicit SharpFills(wxDC& dc) : gc_(dc.GetGraphicsContext())
    {
        if (gc_) {
            old_ = gc_->GetAntialiasMode();
            gc_->SetAntialiasMode(wxANTIALIAS_NONE);
        }
    }
    ~SharpFills()
    {
        if (gc_) gc_->SetAntialiasMode(old_);
    }
    SharpFills(const SharpFills&) = delete;
    SharpFills& operator=(const SharpFills&) = delete;

private:
    wxGraphicsContext* gc_;
    wxAntialiasMode old_ = wxANTIALIAS_DEFAULT;
};

// Adds the time of its scope to a stage, when stages are kept.
class StageTimer {
public:
    explicit StageTimer(double* stage) : stage_(stage)
    {
        if (stage_) start_ = std::chrono::steady_clock::now();
    }
    ~StageTimer()
    {
        if (stage_) *stage_ += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    }
    StageTimer(const StageTimer&) = delete;
    StageTimer& operator=(const StageTimer&) = delete;

private:
    double* stage_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

WxDcCanvas::WxDcCanvas(wxDC& dc, const LogicalMapping& mapping, wxSize rasterSize, LineRaster* raster)
    : dc_(dc), mapping_(mapping)
{
    if (rasterSize.x > 0 && rasterSize.y > 0) {
        if (!raster) {
            ownRaster_ = std::make_unique<LineRaster>();
            raster = ownRaster_.get();
        }
        raster_ = raster;
        // A raster of the same size is only cleaned where the last paint drew, and its pages
        // stay mapped.
        if (raster_->Width() == rasterSize.x && raster_->Height() == rasterSize.y) {
            raster_->ClearDirty();
        } else {
            raster_->Reset(rasterSize.x, rasterSize.y);
        }
    }
    dc_.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    ApplyPen();
    ApplyBrush();
}

WxDcCanvas::~WxDcCanvas()
{
    Flush();
    if (raster_) raster_->SetWorkerPool(nullptr);
}

void WxDcCanvas::SetWorkerPool(WorkerPool* pool)
{
    pool_ = pool;
    if (raster_) raster_->SetWorkerPool(pool);
}

wxPoint WxDcCanvas::Device(LPoint p) const
{
    const DevicePoint d = mapping_.ToDevice(p);
    return {ToolkitCoordinate(d.x), ToolkitCoordinate(d.y)};
}

bool WxDcCanvas::RasterLine(const Pen& pen) const
{
    return raster_ && pen.style == PenStyle::Solid && mapping_.ToDeviceLength(pen.width) <= 1;
}

void WxDcCanvas::Flush()
{
    FlushPolygons();
    FlushRaster();
}

void WxDcCanvas::FlushPolygons()
{
    if (pendingCounts_.empty()) return;
    dc_.SetPen(*wxTRANSPARENT_PEN);
    dc_.SetBrush(wxBrush(W(pendingColour_)));
    SharpFills sharp(dc_);
    if (pendingCounts_.size() == 1) {
        dc_.DrawPolygon(pendingCounts_[0], pendingPoints_.data(), 0, 0, wxWINDING_RULE);
    } else {
        dc_.DrawPolyPolygon(static_cast<int>(pendingCounts_.size()), pendingCounts_.data(), pendingPoints_.data(), 0, 0,
                            wxWINDING_RULE);
    }
    penApplied_ = brushApplied_ = false;
    pendingPoints_.clear();
    pendingCounts_.clear();
}

void WxDcCanvas::FlushRaster()
{
    if (!raster_) return;
    {
        StageTimer timer(stages_ ? &stages_->raster : nullptr);
        raster_->FlushFills();
    }
    if (raster_->Dirty().Empty()) return;
    StageTimer timer(stages_ ? &stages_->blit : nullptr);
    const LineRaster::Box box = raster_->Dirty();
    const int w = box.x1 - box.x0 + 1, h = box.y1 - box.y0 + 1;
    wxImage image(w, h, false);
    image.InitAlpha();
    unsigned char* const rgb = image.GetData();
    unsigned char* const alpha = image.GetAlpha();
    // Rows in parallel: the picture of a dense record is a few million pixels.
    constexpr int kRows = 64;
    ParallelFor(
        (h + kRows - 1) / kRows,
        [&](int part) {
            for (int y = part * kRows; y < std::min(h, (part + 1) * kRows); ++y) {
                const uint32_t* row = raster_->Row(box.y0 + y) + box.x0;
                unsigned char* c = rgb + static_cast<size_t>(y) * w * 3;
                unsigned char* a = alpha + static_cast<size_t>(y) * w;
                for (int x = 0; x < w; ++x) {
                    const uint32_t p = row[x];
                    c[3 * x] = static_cast<unsigned char>(p >> 16);
                    c[3 * x + 1] = static_cast<unsigned char>(p >> 8);
                    c[3 * x + 2] = static_cast<unsigned char>(p);
                    a[x] = static_cast<unsigned char>(p >> 24);
                }
            }
        },
        pool_);
    // Straight to the renderer's own bitmap where there is one (one conversion fewer).
    if (wxGraphicsContext* gc = dc_.GetGraphicsContext()) {
        const wxGraphicsBitmap picture = gc->CreateBitmapFromImage(image);
        gc->DrawBitmap(picture, box.x0, box.y0, w, h);
    } else {
        dc_.DrawBitmap(wxBitmap(image, 32), box.x0, box.y0, true);
    }
    raster_->ClearDirty();
}

void WxDcCanvas::SetPen(const Pen& pen)
{
    if (pen == pen_) return;
    pen_ = pen;
    penApplied_ = false;
}

void WxDcCanvas::ApplyPen()
{
    if (penApplied_) return;
    penApplied_ = true;
    const Pen& pen = pen_;
    if (pen.style == PenStyle::Null) {
        dc_.SetPen(*wxTRANSPARENT_PEN);
        return;
    }
    wxPen p(W(pen.colour), mapping_.ToDeviceLength(pen.width));
    switch (pen.style) {
    case PenStyle::Solid: p.SetStyle(wxPENSTYLE_SOLID); break;
    case PenStyle::Dash: p.SetStyle(wxPENSTYLE_LONG_DASH); break;
    case PenStyle::Dot: p.SetStyle(wxPENSTYLE_DOT); break;
    case PenStyle::DashDot: p.SetStyle(wxPENSTYLE_DOT_DASH); break;
    case PenStyle::DashDotDot: {
        static const wxDash dashes[] = {6, 2, 1, 2, 1, 2};
        p.SetDashes(6, dashes);
        p.SetStyle(wxPENSTYLE_USER_DASH);
        break;
    }
    case PenStyle::Null: break;
    }
    p.SetCap(wxCAP_BUTT);
    dc_.SetPen(p);
}

void WxDcCanvas::SetBrush(const Brush& brush)
{
    if (brush == brush_) return;
    brush_ = brush;
    brushApplied_ = false;
}

void WxDcCanvas::ApplyBrush()
{
    if (brushApplied_) return;
    brushApplied_ = true;
    dc_.SetBrush(brush_.hollow ? *wxTRANSPARENT_BRUSH : wxBrush(W(brush_.colour)));
}

void WxDcCanvas::SetFont(const Font& font)
{
    if (!(font == font_)) fontApplied_ = false;
    font_ = font;
}

void WxDcCanvas::ApplyFont()
{
    if (fontApplied_) return;
    const int height = mapping_.ToDeviceLength(font_.height > 0 ? font_.height : 35);
    wxFontInfo info(wxSize(0, height));
    if (!font_.face.empty()) info.FaceName(wxString::FromUTF8(font_.face));
    wxFont f(info);
    f.SetNumericWeight(std::clamp(font_.weight, 1, 1000));
    dc_.SetFont(f);
    if (matchScreenText_) {
        // The same font on a screen bitmap gives the height text should have; the device's
        // measure of it tells how far the device strays.
        wxBitmap probe(1, 1);
        wxMemoryDC screen(probe);
        screen.SetFont(f);
        const wxString sample = "0Hg";
        const int wanted = screen.GetTextExtent(sample).y;
        const int got = dc_.GetTextExtent(sample).y;
        if (wanted > 0 && got > 0 && std::abs(got - wanted) * 20 > wanted) {
            wxFont corrected(f);
            corrected.SetPixelSize(wxSize(0, std::max(1, static_cast<int>(std::lround(height * double(wanted) / got)))));
            dc_.SetFont(corrected);
        }
    }
    fontApplied_ = true;
}

void WxDcCanvas::SetTextBackground(bool opaque, Rgb colour)
{
    opaque_ = opaque;
    background_ = colour;
}

void WxDcCanvas::LineTo(LPoint p)
{
    Flush();
    ApplyPen();
    dc_.DrawLine(Device(current_), Device(p));
    current_ = p;
}

void WxDcCanvas::Polyline(std::span<const LPoint> points)
{
    if (points.empty()) return;
    if (RasterLine(pen_)) {
        FlushPolygons();
        {
            StageTimer timer(stages_ ? &stages_->raster : nullptr);
            raster_->Polyline(points, mapping_, LineRaster::Colour(pen_.colour));
        }
        if (!batch_) Flush();
        return;
    }
    Flush();
    ApplyPen();
    std::vector<wxPoint> device(points.size());
    for (size_t i = 0; i < points.size(); ++i) device[i] = Device(points[i]);
    dc_.DrawLines(static_cast<int>(device.size()), device.data());
}

void WxDcCanvas::TraceLines(std::span<const TraceLine> lines)
{
    const bool raster = std::all_of(lines.begin(), lines.end(), [this](const TraceLine& l) { return RasterLine(l.pen); });
    if (!raster || !batch_) {
        Canvas::TraceLines(lines);
        return;
    }
    FlushPolygons();
    StageTimer timer(stages_ ? &stages_->raster : nullptr);
    raster_->TraceLines(lines, mapping_, pool_);
}

bool WxDcCanvas::FillWithinLimit(std::span<const LPoint> points) const
{
    return std::all_of(points.begin(), points.end(), [this](LPoint p) {
        const DevicePoint d = mapping_.ToDevice(p);
        return std::abs(d.x) <= LineRaster::kFillLimit && std::abs(d.y) <= LineRaster::kFillLimit;
    });
}

// The outline of a filled polygon as a closed line of the raster.
void WxDcCanvas::RasterOutline(std::span<const LPoint> points)
{
    FlushPolygons();
    std::vector<LPoint> closed(points.begin(), points.end());
    closed.push_back(points.front());
    StageTimer timer(stages_ ? &stages_->raster : nullptr);
    raster_->Polyline(closed, mapping_, LineRaster::Colour(pen_.colour));
    if (!batch_) Flush();
}

void WxDcCanvas::Polygon(std::span<const LPoint> points, FillMode mode)
{
    if (points.empty()) return;
    const bool fill = !brush_.hollow, outline = pen_.style != PenStyle::Null;
    if (fill && raster_) {
        const bool rasterOutline = outline && RasterLine(pen_);
        if (outline && !rasterOutline) {
            // A dashed or wide outline: the whole polygon on the device.
            if (!FillWithinLimit(points)) return;
            DevicePolygon(points, mode);
            return;
        }
        if (rasterOutline && !FillWithinLimit(points)) return;
        if (rasterFills_) {
            // Queued here, drawn when the raster's fills are flushed.
            FlushPolygons();
            if (raster_->FillQueueFull()) {
                StageTimer timer(stages_ ? &stages_->raster : nullptr);
                raster_->FlushFills();
            }
            raster_->Fill(points, mapping_, LineRaster::Colour(brush_.colour), mode);
        } else if (rasterOutline) {
            // The device's fill under the raster's outline: the reference of the road above.
            const Pen pen = pen_;
            pen_ = Pen{PenStyle::Null, 0, {}};
            penApplied_ = false;
            DevicePolygon(points, mode);
            pen_ = pen;
            penApplied_ = false;
        } else if (!FillWithinLimit(points)) {
            return;
        }
        if (rasterOutline) {
            RasterOutline(points);
            return;
        }
        if (rasterFills_) return;
    } else if (fill && !FillWithinLimit(points)) {
        return;
    }
    DevicePolygon(points, mode);
}

void WxDcCanvas::FillPolygons(std::span<const LPoint> points, std::span<const FillShape> shapes)
{
    if (!raster_ || !rasterFills_) {
        Canvas::FillPolygons(points, shapes);
        return;
    }
    FlushPolygons();
    if (raster_->FillQueueFull()) {
        StageTimer timer(stages_ ? &stages_->raster : nullptr);
        raster_->FlushFills();
    }
    raster_->Fill(points, shapes, mapping_);
}

void WxDcCanvas::DevicePolygon(std::span<const LPoint> points, FillMode mode)
{
    if (batchPolygons_ && pen_.style == PenStyle::Null && !brush_.hollow) {
        FlushRaster();
        if (!pendingCounts_.empty() && !(brush_.colour == pendingColour_)) FlushPolygons();
        pendingColour_ = brush_.colour;
        const size_t start = pendingPoints_.size();
        int64_t twiceArea = 0;
        for (const LPoint& q : points) pendingPoints_.push_back(Device(q));
        for (size_t i = start; i < pendingPoints_.size(); ++i) {
            const wxPoint a = pendingPoints_[i], b = pendingPoints_[i + 1 < pendingPoints_.size() ? i + 1 : start];
            twiceArea += static_cast<int64_t>(a.x) * b.y - static_cast<int64_t>(b.x) * a.y;
        }
        // One way round for all, so that the winding rule paints their union.
        if (twiceArea < 0) std::reverse(pendingPoints_.begin() + static_cast<std::ptrdiff_t>(start), pendingPoints_.end());
        pendingCounts_.push_back(static_cast<int>(points.size()));
        if (pendingPoints_.size() > 65536) FlushPolygons();
        return;
    }
    Flush();
    ApplyPen();
    ApplyBrush();
    std::vector<wxPoint> device(points.size());
    for (size_t i = 0; i < points.size(); ++i) device[i] = Device(points[i]);
    std::optional<SharpFills> sharp;
    if (pen_.style == PenStyle::Null) sharp.emplace(dc_);
    dc_.DrawPolygon(static_cast<int>(device.size()), device.data(), 0, 0,
                    mode == FillMode::Winding ? wxWINDING_RULE : wxODDEVEN_RULE);
}

void WxDcCanvas::Rectangle(LRect r)
{
    Flush();
    ApplyPen();
    ApplyBrush();
    const wxPoint a = Device({r.left, r.top}), b = Device({r.right, r.bottom});
    dc_.DrawRectangle(wxRect(wxPoint(std::min(a.x, b.x), std::min(a.y, b.y)), wxPoint(std::max(a.x, b.x), std::max(a.y, b.y))));
}

void WxDcCanvas::Ellipse(LRect r)
{
    Flush();
    ApplyPen();
    ApplyBrush();
    const wxPoint a = Device({r.left, r.top}), b = Device({r.right, r.bottom});
    dc_.DrawEllipse(wxRect(wxPoint(std::min(a.x, b.x), std::min(a.y, b.y)), wxPoint(std::max(a.x, b.x), std::max(a.y, b.y))));
}

void WxDcCanvas::SetPixel(LPoint p, Rgb colour)
{
    Flush();
    dc_.SetPen(wxPen(W(colour)));
    dc_.DrawPoint(Device(p));
    penApplied_ = false;
}

void WxDcCanvas::TextOut(LPoint p, std::string_view utf8)
{
    if (utf8.empty()) return;
    Flush();
    ApplyFont();
    const wxString text = Text(utf8);
    wxPoint at = Device(p);
    if (align_ != TextAlign::TopLeft) {
        wxCoord w = 0, h = 0, descent = 0;
        dc_.GetTextExtent(text, &w, &h, &descent);
        switch (align_) {
        case TextAlign::TopCentre: at.x -= w / 2; break;
        case TextAlign::TopRight: at.x -= w; break;
        case TextAlign::BaselineLeft: at.y -= h - descent; break;
        case TextAlign::BottomLeft: at.y -= h; break;
        case TextAlign::TopLeft: break;
        }
    }
    dc_.SetTextForeground(W(textColour_));
    if (opaque_) {
        dc_.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
        dc_.SetTextBackground(W(background_));
    }
    if (font_.escapement != 0) {
        dc_.DrawRotatedText(text, at, font_.escapement / 10.0);
    } else {
        dc_.DrawText(text, at);
    }
    if (opaque_) dc_.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}

LSize WxDcCanvas::TextExtent(std::string_view utf8)
{
    ApplyFont();
    wxCoord w = 0, h = 0;
    dc_.GetTextExtent(Text(utf8), &w, &h);
    return {static_cast<int32_t>(w / mapping_.pixelsPerUnitX + 0.5), static_cast<int32_t>(h / mapping_.pixelsPerUnitY + 0.5)};
}

}  // namespace velk
