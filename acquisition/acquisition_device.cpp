#include "acquisition/acquisition_device.h"

namespace velk {

void CAcquisitionDevice::GetRecordLimits(int& samples, int& traces)
{
    samples = kRecordSamples;
    traces = kRecordTraces;
}

void CAcquisitionDevice::Disarm() { armed = 0; }
void CAcquisitionDevice::RequestStop() { stopRequest = 1; }
void CAcquisitionDevice::SaveSettings(Profile&) {}
int CAcquisitionDevice::StartDsp() { return 1; }
void CAcquisitionDevice::MakeTraceHeaders() {}
void CAcquisitionDevice::SaveRecord() {}
void CAcquisitionDevice::DrawKeyBar() {}
void CAcquisitionDevice::DrawMenuKeyBar() {}
void CAcquisitionDevice::UpdateStatusBar() {}
void CAcquisitionDevice::DrawLineBanner(int, int) {}
void CAcquisitionDevice::DrawMonitorPanel() {}
void CAcquisitionDevice::ComputeDisplayScale(float&) {}

void CAcquisitionDevice::ManualTrigger() {}
int CAcquisitionDevice::EditSettings() { return 0; }
int CAcquisitionDevice::DiskMenu() { return 0; }
int CAcquisitionDevice::EditDisplay() { return 0; }

int CAcquisitionDevice::WriteLineFile(const std::string&) { return 0; }

}  // namespace velk
