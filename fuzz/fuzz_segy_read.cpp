// The SEG-Y reader through the shared reader harness, on both roads, with "Convert to IEEE
// format ?" answered Yes and No, from start 0 and near the capacity.
#include <cstddef>
#include <cstdint>

#include "formats/segy.h"
#include "fuzz/reader_harness.h"

namespace {

class Answers : public velk::NullUiHost {
public:
    explicit Answers(velk::MsgResult answer) : answer_(answer) {}

protected:
    velk::MsgResult DoMessage(const velk::MessageRequest& request) override
    {
        return request.buttons == velk::MsgButtons::YesNo ? answer_ : velk::NullUiHost::DoMessage(request);
    }

private:
    velk::MsgResult answer_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const velk::fuzzing::HarnessLimits limits;
    for (velk::MsgResult answer : {velk::MsgResult::Yes, velk::MsgResult::No}) {
        for (velk::SegYRoad road : {velk::SegYRoad::Document, velk::SegYRoad::Menu}) {
            for (int start : {0, limits.maxTraces - 2}) {
                velk::fuzzing::CheckReader({data, size}, limits, start,
                                           [&](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
                                               Answers ui(answer);
                                               velk::FormatContext asked{ui, ctx.language, ctx.log};
                                               velk::SegYLayout layout;
                                               if (!velk::DecodeSegYLayout(source, road, asked, layout)) return -1;
                                               return velk::ReadSegYTraces(source, layout, target, asked);
                                           });
            }
        }
    }
    return 0;
}
