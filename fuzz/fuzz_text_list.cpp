// The text file list: whatever the text, the count lies between the first index and the list's
// capacity, and the entries before the first index and beyond the count are untouched.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/uihost.h"
#include "survey/file_group.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "text list: %s\n", rule);
        std::abort();
    }
}

// Answers the auxiliary-count question with OK.
class OkUiHost : public velk::NullUiHost {
protected:
    bool DoRunDialog(velk::DialogRequest&) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int first = size > 0 ? data[0] % 4 : 0;
    velk::CFileGroup group;
    for (auto& e : group.entries) e.id = -77;
    OkUiHost ui;
    const int n = group.ReadTextListText(text, first, ui, -1);
    Require(n == group.entryCount && n >= first && n <= velk::CFileGroup::kMaxFiles, "count outside the list");
    for (int i = 0; i < velk::CFileGroup::kMaxFiles; ++i) {
        if (i < first || i >= n) Require(group.entries[static_cast<size_t>(i)].id == -77, "entry touched outside the lines read");
    }
    return 0;
}
