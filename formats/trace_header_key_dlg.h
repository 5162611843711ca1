#pragma once
// "Make trace header key" (template 157): the geometry a command gives traces that come without
// it (source position, first receiver, receiver spacing), shown with the record's sample and
// trace counts and, for the key-file commands, the input and output file names. A plain
// struct shown through the UiHost's generic form; its values change only on OK.

#include <string>

#include "platform/uihost.h"

namespace velk {

struct CTraceHeaderKeyDlg {
    static constexpr const char* kClass = "CTraceHeaderKeyDlg";
    static constexpr int kMaxDataLength = 2000000;

    float firstReceiver = 0.0f;     // m
    int dataLength = 0;             // samples, 0 .. kMaxDataLength
    float receiverInterval = 0.0f;  // m
    float source = 0.0f;            // m
    std::string inputFileName;
    std::string outputFileName;
    int traceCount = 0;

    // The fields in the template's order; the receiver interval is where the focus starts.
    DialogRequest Request(int language);
};

}  // namespace velk
