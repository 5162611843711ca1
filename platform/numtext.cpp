#include "platform/numtext.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <system_error>

namespace velk {

namespace {

// The C locale object, made once and kept for the life of the process.
locale_t CLocale() {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Switches this thread to the C locale for the lifetime of the guard.
class CLocaleScope {
public:
    CLocaleScope() {
        if (locale_t c = CLocale()) old_ = ::uselocale(c);
    }
    ~CLocaleScope() {
        if (old_) ::uselocale(old_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t old_ = nullptr;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsSpace(char c) { return IsBlank(c) || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Trims, then drops one leading '+' when a digit (or a '.' for floats) follows it;
// from_chars itself takes only '-'. Empty when nothing number-like is left.
std::string_view Prepare(std::string_view text, bool allowPoint) {
    std::string_view s = Trim(text);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty()) return s;
        char c = s.front();
        bool ok = (c >= '0' && c <= '9') || (allowPoint && c == '.');
        if (!ok) return {};
    }
    return s;
}

template <typename T>
std::optional<T> ParseIntegral(std::string_view text) {
    std::string_view s = Prepare(text, false);
    if (s.empty()) return std::nullopt;
    T value{};
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value, 10);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

template <typename T>
std::optional<T> ParseFloating(std::string_view text) {
    std::string_view s = Prepare(text, true);
    if (s.empty()) return std::nullopt;
    T value{};
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;  // "inf", "nan"
    return value;
}

}  // namespace

std::string FormatCv(const char* format, va_list args) {
    if (!format) return {};
    CLocaleScope scope;
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n), '\0');
    va_copy(copy, args);
    std::vsnprintf(out.data(), out.size() + 1, format, copy);
    va_end(copy);
    return out;
}

std::string FormatC(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = FormatCv(format, args);
    va_end(args);
    return out;
}

std::optional<int32_t> ParseInt(std::string_view text) { return ParseIntegral<int32_t>(text); }
std::optional<int64_t> ParseInt64(std::string_view text) { return ParseIntegral<int64_t>(text); }
std::optional<float> ParseFloat(std::string_view text) { return ParseFloating<float>(text); }
std::optional<double> ParseDouble(std::string_view text) { return ParseFloating<double>(text); }

TextScanner::TextScanner(std::string_view text) : text_(text) {}

bool TextScanner::AtEnd() {
    for (size_t i = pos_; i < text_.size(); ++i) {
        if (!IsSpace(text_[i])) return false;
    }
    return true;
}

bool TextScanner::NextToken(std::string_view& token) {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return false;
    size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
    token = text_.substr(start, pos_ - start);
    return true;
}

bool TextScanner::ReadInt(int32_t& v) {
    std::string_view token;
    if (!NextToken(token)) return false;
    auto parsed = ParseInt(token);
    if (!parsed) return false;
    v = *parsed;
    return true;
}

bool TextScanner::ReadFloat(float& v) {
    std::string_view token;
    if (!NextToken(token)) return false;
    auto parsed = ParseFloat(token);
    if (!parsed) return false;
    v = *parsed;
    return true;
}

bool TextScanner::ReadDouble(double& v) {
    std::string_view token;
    if (!NextToken(token)) return false;
    auto parsed = ParseDouble(token);
    if (!parsed) return false;
    v = *parsed;
    return true;
}

bool TextScanner::ReadWord(std::string& word, size_t maxLength) {
    std::string_view token;
    if (!NextToken(token)) return false;
    word.assign(token.substr(0, maxLength));
    return true;
}

bool TextScanner::ReadLine(std::string& line) {
    if (pos_ >= text_.size()) return false;
    size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    line.assign(text_.substr(start, pos_ - start));
    if (pos_ < text_.size()) {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
    }
    return true;
}

}  // namespace velk
