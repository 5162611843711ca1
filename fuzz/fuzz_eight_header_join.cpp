// The join of two 8-header files: the input split in two at a point its first two bytes
// choose. Whatever the files hold, the output must be a clean 8-header file of exactly the
// records reported, each one as long as the two it joins.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "formats/eight_header.h"
#include "fuzz/reader_harness.h"

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velk-fuzz-join-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return folder;
}

void Write(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    if (size < 2) return 0;
    const size_t split = std::min<size_t>((data[0] | (data[1] << 8)), size - 2);
    const std::string a = Folder() + "/a.8hd", b = Folder() + "/b.8hd", out = Folder() + "/out.8hd";
    Write(a, data + 2, split);
    Write(b, data + 2 + split, size - 2 - split);
    ::unlink(out.c_str());
    fuzzing::FuzzUiHost ui;
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    const int records = ConnectEightHeaderFiles(a, b, out, ctx);
    fuzzing::Require(records >= 0, "the join failed over files it could read");

    static std::vector<CTraceHeader> joined(static_cast<size_t>(kEightHeaderJoinLimit));
    static std::vector<CTraceHeader> first(joined.size()), second(joined.size());
    fuzzing::Require(CountEightHeaderTraces(out, joined) == records, "the output holds another number of records");
    const int n1 = CountEightHeaderTraces(a, first);
    const int n2 = CountEightHeaderTraces(b, second);
    fuzzing::Require(records <= n1 && records <= n2, "more records than the shorter input");
    for (int k = 0; k < records; ++k) {
        const size_t i = static_cast<size_t>(k);
        fuzzing::Require(joined[i].samples == static_cast<int64_t>(first[i].samples) + second[i].samples,
                         "a joined record is not as long as its two parts");
        fuzzing::Require(joined[i].receiverHundredths == first[i].receiverHundredths,
                         "a joined record lost the first file's words");
    }
    return 0;
}
