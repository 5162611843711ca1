#pragma once
// The menu rows of the Fourier, band-pass, filter-test and display-filter commands and of
// Edit > Redo, with their rules (app/dsp/data_kind.h).

#include "app/command_table.h"

namespace velk {

// Command ids: 24400..24499.
namespace cmd {
// Option > Fourier analysis.
constexpr int kForwardFft = 24400;
constexpr int kInverseFft = 24401;
constexpr int kForwardDft = 24402;
constexpr int kInverseDft = 24403;
constexpr int kSpectrumDft = 24404;
constexpr int kSpectrumDftDecibel = 24405;
constexpr int kShowRealPart = 24406;
constexpr int kShowImaginaryPart = 24407;
constexpr int kShowTimeDomain = 24408;
constexpr int kShadeSpectrum = 24409;
constexpr int kSaveFrequencyData = 24410;
constexpr int kOpenFrequencyData = 24411;
constexpr int kMemoryPresentAmplitude = 24412;
constexpr int kChangeSamplingTime = 24413;
constexpr int kFourierBandPass = 24414;
// Option > Processing.
constexpr int kBandPass = 24420;
constexpr int kBandPassCosine = 24421;
constexpr int kPowerSpectrum = 24422;
constexpr int kFilterTest = 24423;
constexpr int kBandPassPrecise = 24424;
constexpr int kBandPassDft = 24425;
constexpr int kIntegration = 24426;
constexpr int kDifferential = 24427;
constexpr int kPhaseSpectrum = 24428;
// View > Option > Fuzz filter (full menus) and its short-menu twins.
constexpr int kDisplayFilter = 24440;
constexpr int kLowCutFilter = 24441;   // Ctrl+L
constexpr int kHighCutFilter = 24442;  // Ctrl+H
constexpr int kDisplayFilterShort = 24443;
constexpr int kLowCutFilterShort = 24444;
constexpr int kHighCutFilterShort = 24445;
// Edit.
constexpr int kEditRedo = 24450;
}  // namespace cmd

// Adds the rows and menus (a menu another feature already made is reused).
void AddSignalCommands(CommandTable& table);

}  // namespace velk
