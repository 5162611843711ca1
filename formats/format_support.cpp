#include "formats/format_support.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/numtext.h"

namespace velk {

namespace {

bool IsScanBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips the blanks "%d" and "%f" skip.
size_t SkipBlanks(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsScanBlank(text[i])) ++i;
    return i;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

std::optional<int32_t> ScanIntPrefix(std::string_view text)
{
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t digits = i;
    int64_t value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return std::nullopt;
        ++i;
    }
    if (i == digits) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<double> ScanDoublePrefix(std::string_view text)
{
    size_t i = SkipBlanks(text);
    const size_t begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    // An exponent counts only when digits follow it ("1e" scans as 1, like scanf's result).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    std::string_view number = text.substr(begin, i - begin);
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    // Out of range (ec == result_out_of_range): overflow is not finite; an underflow is 0.
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value unchanged on range errors; decide by the exponent sign.
        const size_t e = number.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-') return 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || end != number.data() + number.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::string FieldUpToCR(std::span<const uint8_t> bytes, size_t offset, size_t maxLength)
{
    std::string field;
    if (offset >= bytes.size()) return field;
    const size_t end = offset + std::min(maxLength, bytes.size() - offset);
    for (size_t i = offset; i < end; ++i) {
        const uint8_t b = bytes[i];
        if (b == 13 || b == 0) break;
        field.push_back(static_cast<char>(b));
    }
    return field;
}

std::string_view FixedColumns(std::string_view line, size_t first, size_t width)
{
    if (first >= line.size()) return {};
    return line.substr(first, std::min(width, line.size() - first));
}

// ---------------------------------------------------------------------------------------------

TextWindow::TextWindow(std::span<const uint8_t> bytes) : text_(bytes.begin(), bytes.end())
{
    for (char& c : text_)
        if (c == '\0' || c == '\n') c = ' ';
}

size_t TextWindow::Find(std::string_view key) const
{
    if (key.empty()) return std::string::npos;
    return text_.find(key);
}

std::string_view TextWindow::From(size_t offset) const
{
    if (offset >= text_.size()) return {};
    return std::string_view(text_).substr(offset);
}

char TextWindow::At(size_t offset) const { return offset < text_.size() ? text_[offset] : '\0'; }

std::optional<int32_t> TextWindow::IntAfter(std::string_view key) const
{
    const size_t at = Find(key);
    if (at == std::string::npos) return std::nullopt;
    return ScanIntPrefix(From(at + key.size()));
}

std::optional<double> TextWindow::DoubleAfter(std::string_view key) const
{
    const size_t at = Find(key);
    if (at == std::string::npos) return std::nullopt;
    return ScanDoublePrefix(From(at + key.size()));
}

// ---------------------------------------------------------------------------------------------

namespace {

template <typename I>
I ToIntChecked(double value, ConversionCount& count)
{
    if (std::isnan(value)) {
        ++count.nonFinite;
        return 0;
    }
    const double t = std::trunc(value);
    constexpr double lo = static_cast<double>(std::numeric_limits<I>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<I>::max());
    if (t < lo) {
        ++count.clamped;
        return std::numeric_limits<I>::min();
    }
    if (t > hi) {
        ++count.clamped;
        return std::numeric_limits<I>::max();
    }
    return static_cast<I>(t);
}

}  // namespace

int32_t NearestInt32Checked(double value, ConversionCount& count) { return ToIntChecked<int32_t>(std::round(value), count); }
int16_t ToInt16Checked(double value, ConversionCount& count) { return ToIntChecked<int16_t>(value, count); }

float ToFiniteFloat(double value, ConversionCount& count)
{
    if (!std::isfinite(value)) {
        ++count.nonFinite;
        return 0.0f;
    }
    if (value > FLT_MAX) {
        ++count.clamped;
        return FLT_MAX;
    }
    if (value < -FLT_MAX) {
        ++count.clamped;
        return -FLT_MAX;
    }
    return static_cast<float>(value);
}

std::string ConversionWarning(int language, const ConversionCount& count)
{
    std::string text;
    if (count.nonFinite > 0) {
        text += FormatC(Msg(language, "%lld samples were not numbers and have been set to 0 !").c_str(),
                        static_cast<long long>(count.nonFinite));
    }
    if (count.clamped > 0) {
        if (!text.empty()) text += "\n";
        text += FormatC(Msg(language, "%lld samples were out of range and have been clipped !").c_str(),
                        static_cast<long long>(count.clamped));
    }
    return text;
}

// ---------------------------------------------------------------------------------------------

std::string TracesMessage(int language, const char* format, int value)
{
    std::string text = FormatC(Msg(language, format).c_str(), value);
    text += "\n";
    text += Msg(language, kChangeMaxTracesLine);
    return text;
}

std::string SamplesMessage(int language, const char* format, int value)
{
    const std::string chosen = Msg(language, format);
    if (std::string_view(format) == kSamplesTruncatedMsg) return chosen;
    return FormatC(chosen.c_str(), value);
}

std::string FileSaveFailedMessage(int language, const std::string& path, const std::string& reason)
{
    std::string text = Msg(language, "The file could not be saved. The old file was not changed.",
                           "ファイルを保存できませんでした。元のファイルは変更されていません。");
    text += "\n\n" + path;
    if (!reason.empty()) text += "\n" + reason;
    return text;
}

// ---------------------------------------------------------------------------------------------

void NullLogSink::Rewrite(const std::string& /*name*/, std::string_view /*text*/) {}

LogSink& NullLog()
{
    static NullLogSink sink;
    return sink;
}

FolderLogSink::FolderLogSink(std::string folder) : folder_(std::move(folder)) {}

void FolderLogSink::Rewrite(const std::string& name, std::string_view text)
{
    std::string path = name;
    if (!folder_.empty()) path = folder_ + (folder_.back() == '/' ? "" : "/") + name;
    (void)WriteFileAtomically(path, text);
}

void MemoryLogSink::Rewrite(const std::string& name, std::string_view text) { files_[name] = std::string(text); }

std::string MemoryLogSink::Text(const std::string& name) const
{
    const auto it = files_.find(name);
    return it == files_.end() ? std::string() : it->second;
}

}  // namespace velk
