#pragma once
// A render harness for the record view: a synthetic record made through the core's API, the
// display state set from "name=value" options, and the record drawn into a bitmap exactly as
// the view draws it. Later features add their options and pictures here.
//
// Options (all optional):
//   traces=24 samples=1000 interval_us=500 spacing=2 delay_us=0 signal=shot|sine|spectrum
//   components=1|1-8|3c  select=<trace>[,<trace>...]  empty=1
//   direction=0 shading=0 colour=1 fill=0 datakind=0 plotmode=-2 displaymode=0 clip=1
//   normalisation=0 hscale=... plotscale=... vscale=0.05 threec=0 amplitude=0 trigger=1
//   editmode=0 language=-1 title=shot0001.sg2
//   picks=none|first (each trace picked at the direct wave) layer=1 (their layer code)
//   shots=0 (a traveltime set of this many shots, the first the record's) showcurves=-1
//   velocity=t0,d0,t1,d1[;...] (stored velocity lines, ms and m) mute=state,s1,T1,s2,T2
//   lines=0 (the contour-line flag) reverse=-1 outline=0 exaggeration=1 blank=-1000000
//   amplitudefactor=50 (colour contours and the velocity model)
//   geometry=<rows>x<receivers> array=triangle|plane gxscale=20 gyscale=20 (with displaymode=3
//   or 4: the geometry pictures)
//   width=1000 height=700 dpi=96 fast=1 (thin lines through the line raster) batch=1 (laid on
//   the bitmap at the next other drawing call rather than after every line) batchpolygons=1
//   (fills of one colour as one path) fastfills=1 (fills through the raster as well)
//   filtertest=1 (the filter test on the first selected trace, edit mode 8)
//   badsamples=0 (1: runs of NaN, infinite and 1e30 samples in traces 1, 2 and 3)
//   signal=dispersive (the dispersive surface-wave record of the generators) file=PATH (a record
//   read through File > Open instead) phasevelocity=1 (its phase velocity-frequency image with
//   the default settings and the phase-velocity picks; hscale and plotscale then apply to it)
//   mam=1 (with samples=8192: a synthetic "Single circle 9" microtremor record; spac2d=1 its
//   two-dimensional SPAC; displaymode=4 its array geometry)

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/bitmap.h>

#include "draw/mapping.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk::render {

using Options = std::map<std::string, std::string>;

// "name=value" words; a word without '=' is ignored.
Options ParseOptions(const std::vector<std::string>& words);

class Harness {
public:
    explicit Harness(const Options& options);

    Workspace& ws() { return *ws_; }
    const LogicalMapping& Mapping() const { return mapping_; }
    // Draws the record; the bitmap has the size the options asked for.
    wxBitmap Render();

private:
    void BuildRecord();
    void ApplyDisplay();
    void ApplyPicking();  // picks, traveltime set, velocity and mute lines
    void BuildGeometry();
    void MakePhaseVelocityImage();
    std::string Get(const std::string& name, const std::string& fallback) const;
    double Number(const std::string& name, double fallback) const;

    Options options_;
    NullUiHost ui_;
    std::unique_ptr<Profile> profile_;
    std::unique_ptr<Workspace> ws_;
    LogicalMapping mapping_;
};

}  // namespace velk::render
