#pragma once
// Small sorting and file-name helpers that the trace-editing commands share with the survey,
// traveltime and acquisition code: sorted unique insertion, nearest-first ordering, the numeric
// key of a file name, the median of the non-negative values, extension checks and the
// overwrite question.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

class UiHost;

// Inserts v into an ascending vector of unique values. An empty vector takes v and the result
// is -1 (as for a value already present); otherwise the result is v's new index, or -1 when v
// is present already (nothing inserted).
int InsertSortedUniqueInt(std::vector<int32_t>& values, int32_t v);
// The same for floats: "present" means |entry - v| <= tol.
int InsertSortedUniqueFloat(std::vector<float>& values, float v, float tol);

// Orders indices by distance, nearest first: OrderNearestFirst takes, n times, the smallest
// distance not yet taken (the first of equals) and writes its index to the next place of
// `order`. Distances are those the caller wrote into `distances`.
class CDistanceOrder {
public:
    void Alloc(int n);  // n entries of each array (0 for n < 0), distances 0
    void Free();
    // Orders the first n entries (at most the allocated count); returns how many were ordered.
    int OrderNearestFirst(int n);

    std::vector<int> order;
    std::vector<float> distances;

private:
    std::vector<char> taken_;
};

// The numeric key of a file name: the first character that is a digit or '-', followed by the
// run of digits right after it ("file0123.dat" -> "0123", "a-12b" -> "-12"); empty when there
// is none.
std::string FileNameSortKey(std::string_view name);

// The median of the values >= 0, taken as a sorted set unique within 0.01: the middle one, or
// the mean of the two middle ones; `fallback` when there is none.
float MedianNonNegative(const std::vector<float>& values, float fallback);

// The name unchanged when one of the extensions occurs in it, else the name with ext1 appended.
std::string EnsureExtension2(const std::string& name, std::string_view ext1, std::string_view ext2);
std::string EnsureExtension4(const std::string& name, std::string_view ext1, std::string_view ext2,
                             std::string_view ext3, std::string_view ext4);

// "Are you sure you want to over write?" (OK/Cancel) when the file can be opened for reading;
// true when OK was chosen or the file does not exist.
bool ConfirmOverwrite(UiHost& ui, int language, const std::string& path);

}  // namespace velk
