#include "dsp/edit_helpers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

int InsertSortedUniqueInt(std::vector<int32_t>& values, int32_t v)
{
    if (values.empty()) {
        values.push_back(v);
        return -1;
    }
    const auto at = std::lower_bound(values.begin(), values.end(), v);
    if (at != values.end() && *at == v) {
        return -1;
    }
    const auto index = at - values.begin();
    values.insert(at, v);
    return static_cast<int>(index);
}

int InsertSortedUniqueFloat(std::vector<float>& values, float v, float tol)
{
    if (values.empty()) {
        values.push_back(v);
        return -1;
    }
    for (float entry : values) {
        if (std::fabs(entry - v) <= tol) {
            return -1;
        }
    }
    const auto index = std::lower_bound(values.begin(), values.end(), v) - values.begin();
    values.insert(values.begin() + index, v);
    return static_cast<int>(index);
}

void CDistanceOrder::Alloc(int n)
{
    const auto size = static_cast<size_t>(std::max(n, 0));
    order.assign(size, 0);
    distances.assign(size, 0.0f);
    taken_.assign(size, 0);
}

void CDistanceOrder::Free()
{
    order.clear();
    distances.clear();
    taken_.clear();
}

int CDistanceOrder::OrderNearestFirst(int n)
{
    const int count = std::clamp(n, 0, static_cast<int>(distances.size()));
    std::fill(taken_.begin(), taken_.end(), 0);
    for (int k = 0; k < count; ++k) {
        int best = -1;
        for (int i = 0; i < count; ++i) {
            if (!taken_[static_cast<size_t>(i)] &&
                (best < 0 || distances[static_cast<size_t>(i)] < distances[static_cast<size_t>(best)])) {
                best = i;
            }
        }
        taken_[static_cast<size_t>(best)] = 1;
        order[static_cast<size_t>(k)] = best;
    }
    return count;
}

std::string FileNameSortKey(std::string_view name)
{
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    size_t start = 0;
    while (start < name.size() && !digit(name[start]) && name[start] != '-') {
        ++start;
    }
    if (start == name.size()) {
        return {};
    }
    size_t end = start + 1;
    while (end < name.size() && digit(name[end])) {
        ++end;
    }
    return std::string(name.substr(start, end - start));
}

float MedianNonNegative(const std::vector<float>& values, float fallback)
{
    std::vector<float> kept;
    for (float v : values) {
        if (v >= 0.0f) {
            InsertSortedUniqueFloat(kept, v, 0.01f);
        }
    }
    if (kept.empty()) {
        return fallback;
    }
    const size_t n = kept.size();
    if (n % 2 == 1) {
        return kept[n / 2];
    }
    return 0.5f * (kept[n / 2 - 1] + kept[n / 2]);
}

std::string EnsureExtension2(const std::string& name, std::string_view ext1, std::string_view ext2)
{
    return EnsureExtension4(name, ext1, ext2, ext2, ext2);
}

std::string EnsureExtension4(const std::string& name, std::string_view ext1, std::string_view ext2,
                             std::string_view ext3, std::string_view ext4)
{
    for (std::string_view ext : {ext1, ext2, ext3, ext4}) {
        if (!ext.empty() && name.find(ext) != std::string::npos) {
            return name;
        }
    }
    return name + std::string(ext1);
}

bool ConfirmOverwrite(UiHost& ui, int language, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return true;
    }
    return ui.Message(Msg(language, "Are you sure you want to over write?", "上書きしてもよろしいですか?"),
                      MsgButtons::OkCancel, MsgIcon::Question) == MsgResult::Ok;
}

}  // namespace velk
