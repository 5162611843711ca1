#pragma once
// CWaveOperations: the short-lived holder through which a view command runs one data operation.
// The command builds it on the stack with the workspace, the UiHost and the progress sink (the
// view's transient text, or nothing), runs one operation and drops it. An operation checks its
// preconditions and gives its own messages, pushes undo before it changes the store, changes
// the store, recomputes what it changed and may report progress; it returns 1 when the view
// must be repainted. A result of 1 repaints the owner view exactly once, any other result not
// at all. Holders built without an owner view (readers, acquisition code) never repaint.

#include <functional>
#include <memory>
#include <string>

#include "platform/uihost.h"

namespace velk {

struct CommandContext;
class ViewSurface;
class Workspace;

// A progress sink that shows its text as the view's transient overlay text; the bar itself is
// not drawn (the text carries the count, " BPF calculation : trace = %d ").
class ViewProgressText : public ProgressSink {
public:
    explicit ViewProgressText(ViewSurface* view) : view_(view) {}
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string& text) override;

private:
    ViewSurface* view_;
};

class CWaveOperations {
    // First, so that `progress` may refer to it.
    std::unique_ptr<ProgressSink> ownProgress_;

public:
    using Operation = std::function<int(CWaveOperations&)>;

    // With an owner view: progress goes to its transient text and a result of 1 repaints it.
    CWaveOperations(Workspace& ws, UiHost& ui, ViewSurface& owner);
    // With an explicit progress sink and, optionally, an owner view.
    CWaveOperations(Workspace& ws, UiHost& ui, ProgressSink& progress, ViewSurface* owner = nullptr);
    // Without an owner view: no repaint, progress dropped.
    CWaveOperations(Workspace& ws, UiHost& ui);

    CWaveOperations(const CWaveOperations&) = delete;
    CWaveOperations& operator=(const CWaveOperations&) = delete;

    // Runs the operation and repaints the owner once when it returns 1. Returns its result.
    int Run(const Operation& operation);

    // Option > Under construction > test: always enabled; repaints the owner view.
    int OnTest();

    // Fourier analysis (app/dsp/fourier_commands.cpp). Each returns 1 when it changed the store.
    int ForwardFft();
    int InverseFft();
    int ForwardDft();
    int InverseDftAll();
    int PowerSpectrumDft();
    int DecibelSpectrumDft();
    // Band-pass filters through the dialog (app/dsp/band_pass_commands.cpp).
    int FourierBandPass();  // of complex frequency-domain data
    int BandPassDft();      // of time-domain traces at their exact length
    // The "Old FFT" band-pass and power spectrum on the tabled transform
    // (app/dsp/old_fft_commands.cpp).
    int BandPassOldFft();
    int PowerSpectrumOldFft();
    // "Open binary data file" (app/formats/text_import_commands.cpp): the record from a dump of int32
    // words; the command's context gives the document the imported file leaves untitled.
    int OpenBinaryDataFile(CommandContext& ctx);
    // Trace editing (app/dsp/trace_edit_commands.cpp): drops the selected traces.
    int DeleteSelectedTraces();
    // Synthetic records (app/dsp/synthetic_commands.cpp). The generators replace the record; the
    // noise routines add to it or replace its values.
    int GenerateTimeDomain();
    int GenerateFrequencyDomain(float& apparentVelocity);
    int GenerateFkDomain();
    void GenerateRandomTimeSeries(int mode, float factor);
    void GenerateGaussianNoise(float sigma);
    int GenerateNoiseGaussianSpectrum();
    int GenerateNoiseFromCorrelation();
    // Synthetic models (app/traveltime/model_commands.cpp): the true image of the dipping
    // reflectors, the deconvolution test record (dialog 169) and the hum record (dialog 195).
    int ModelDippingReflector();
    int ModelDeconvolution();
    int ModelHumNoise();
    // Vertical stack through dialog 158 (app/dsp/stack_commands.cpp).
    int VerticalStack();
    // Operations of the surface-wave subsystem that the processing menu runs
    // (app/surfacewave/surfacewave_seams.h): "Cross correlation (up to 2048)" and "Coherence".
    int CorrelateWithReference();
    int CoherenceSelected();
    // Migrations (app/traveltime/migration_commands.cpp): dialog 191 and the post-stack
    // reverse-time migration of the loaded zero-offset section; the pre-stack one does nothing
    // and returns 0.
    int ReverseTimeMigrationPostStack();
    int ReverseTimeMigrationPreStack();

    Workspace& ws;
    UiHost& ui;
    ProgressSink& progress;
    ViewSurface* owner;
    std::string text;  // for the operations' own use
};

}  // namespace velk
