#pragma once
// The time-frequency panels the main program exports: the exchange file's header and values,
// read once when the viewer's view is built, and one panel written back out as text.
//
// File layout (little-endian, no padding): int32 panels, int32 windows, int32 frequencies,
// float32 time step (ms), float32 frequency step (Hz), then the values as float32, panel after
// panel and in each panel window after window.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velk {
class ByteSource;
}

namespace velk::nordalis {

// A float array indexed [0..n1][0..n2][0..n3] inclusive (one spare per dimension, as the panel
// arithmetic has always had), in one contiguous block.
class Float3D {
public:
    Float3D() = default;
    Float3D(int n1, int n2, int n3);

    float& operator()(int i, int j, int k) { return values_[Index(i, j, k)]; }
    float operator()(int i, int j, int k) const { return values_[Index(i, j, k)]; }
    bool Empty() const { return values_.empty(); }

private:
    size_t Index(int i, int j, int k) const
    {
        return (static_cast<size_t>(i) * d2_ + static_cast<size_t>(j)) * d3_ + static_cast<size_t>(k);
    }
    size_t d2_ = 0, d3_ = 0;
    std::vector<float> values_;
};

struct PanelData {
    float timeStep = 0.0f;       // ms between windows
    float frequencyStep = 0.0f;  // Hz between values
    int n1 = 0;                  // panels
    int n2 = 0;                  // windows per panel
    int n3 = 0;                  // frequencies per window
    Float3D values;              // [panel][window][frequency]

    bool HasValues() const { return n1 > 0 && n2 > 0 && n3 > 0 && !values.Empty(); }
};

// Reads the 20-byte header; false when the file is shorter or a count is negative.
bool ReadWfftHeader(ByteSource& source, PanelData& data);
// Allocates [0..n1][0..n2][0..n3]; a failed allocation ends the program (FatalMemoryError).
Float3D AllocFloat3D(int n1, int n2, int n3);
// Frees the values (with the memory log open, as the allocation has it).
void ReleasePanels(PanelData& data);
// Reads every panel's values after the header (the caller has checked the file's size).
void ReadWfftPanels(ByteSource& source, PanelData& data);

// The whole file. A missing or unreadable file, a cut header, a negative count, counts whose
// products leave 32 bits (per panel or in all) or values that the file does not hold give the message "Cannot read the time-frequency file <path>" and
// empty data; a count of 0 gives empty data without a message. Nothing is allocated unless
// the file holds every value.
struct WfftReadResult {
    PanelData data;
    std::string message;  // empty when read (or empty without fault)
};
WfftReadResult ReadWfftFile(const std::string& path);
// The same over bytes already at hand; `path` names them in the message.
WfftReadResult ReadWfft(ByteSource& source, const std::string& path);

// Smallest and largest finite value of panel i; (0, 0) when it has none.
std::pair<float, float> PanelMinMax(const PanelData& data, int panel);

// Writes the n2 windows of `panel` as lines of " %f " values ending in " \n", atomically in the
// C locale; false with the reason in *error.
bool WritePanelText(const PanelData& data, int panel, const std::string& path, std::string* error);

// Writes the run-time error into "memory_errot.txt" in the working folder and ends the
// program with exit code 10.
[[noreturn]] void FatalMemoryError(const char* text);

}  // namespace velk::nordalis
