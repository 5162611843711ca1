#pragma once
// ModeServices for tests: every call is recorded as one line ("RunPhaseVelocityAnalysis 40",
// "ShowPhaseVelocityCurve -MASW1D") and answers what `results` holds for its name (1 when
// unset). SaveRostrelFile (path and set) writes a marker file; `onCall` may act as the program would (save a
// record, fill the group).

#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "acquisition/acquisition_manager.h"
#include "platform/numtext.h"

namespace velk {

class FakeModeServices : public ModeServices {
public:
    int SaveRostrelFile(const std::string& path, TraveltimeTextSet set) override
    {
        const bool curves = set == TraveltimeTextSet::PhaseVelocityCurves;
        const int r = Call("SaveRostrelFile", path + (curves ? " curves" : " first arrivals"));
        if (r == 1) std::ofstream(path) << "traveltimes\n";
        return r;
    }
    void Repaint() override { ++repaints; }
    int SaveRecord() override { return Call("SaveRecord"); }
    int EditReceiverInterval() override { return Call("EditReceiverInterval"); }
    int RunPhaseVelocityAnalysis(float f) override { return Call("RunPhaseVelocityAnalysis", FormatC("%g", f)); }
    int PickPhaseVelocity() override { return Call("PickPhaseVelocity"); }
    int ShowPhaseVelocityCurve(const std::string& name) override { return Call("ShowPhaseVelocityCurve", name); }
    int ShowPhaseVelocityCurveNamed(const std::string& curve, const std::string& text) override
    {
        return Call("ShowPhaseVelocityCurveNamed", curve + " " + text);
    }
    int ShowAllCurvesInQuessil(const std::string& s) override { return Call("ShowAllCurvesInQuessil", s); }
    int MakeCmpGatherFiles2D(float bin) override { return Call("MakeCmpGatherFiles2D", FormatC("%g", bin)); }
    int PhaseVelocityCurves(float f) override { return Call("PhaseVelocityCurves", FormatC("%g", f)); }
    int Spac2DFileGroup(std::string& title) override
    {
        title = spacTitle;
        return Call("Spac2DFileGroup");
    }
    int SetUpGroupGeometry() override { return Call("SetUpGroupGeometry"); }
    int SetGroupWaveformData(int m) override { return Call("SetGroupWaveformData", std::to_string(m)); }
    int GroupAutoPickFirstArrivals() override { return Call("GroupAutoPickFirstArrivals"); }
    int ShowTraveltimeInRostrel(const std::string& w) override { return Call("ShowTraveltimeInRostrel", w); }
    int SetupGroundWaterTable() override { return Call("SetupGroundWaterTable"); }
    int ShowTwoLayerTraveltime() override { return Call("ShowTwoLayerTraveltime"); }
    int MakeFileList() override { return Call("MakeFileList"); }
    int OpenSeg2Record() override { return Call("OpenSeg2Record"); }
    int ShowNextWaveformFile() override { return Call("ShowNextWaveformFile"); }

    std::vector<std::string> calls;
    std::map<std::string, int> results;
    std::function<void(const std::string& name)> onCall;
    std::string spacTitle = "first-last";
    int repaints = 0;

private:
    int Call(const std::string& name, const std::string& argument = {})
    {
        calls.push_back(argument.empty() ? name : name + " " + argument);
        if (onCall) onCall(name);
        const auto it = results.find(name);
        return it == results.end() ? 1 : it->second;
    }
};

}  // namespace velk
