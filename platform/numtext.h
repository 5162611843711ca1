#pragma once
// Numbers as text, always in the C locale whatever the process or interface locale is.

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

// printf-style formatting in the C locale: FormatC("%10.3f", x), FormatC("%d %d %f\n", a, b, c).
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatCv(const char* format, va_list args);

// Strict parsing: leading and trailing blanks (space, tab, CR, LF) are trimmed; anything else
// that is not part of one complete, finite, in-range number gives nullopt.
std::optional<int32_t> ParseInt(std::string_view text);
std::optional<int64_t> ParseInt64(std::string_view text);
std::optional<float> ParseFloat(std::string_view text);
std::optional<double> ParseDouble(std::string_view text);

// Free-format scanner over text: blank-separated numbers and length-bounded words, the way
// the text formats' readers use scanf. Whitespace includes CR and LF. A failed read leaves the
// target unchanged and the scanner positioned after the offending token.
class TextScanner {
public:
    explicit TextScanner(std::string_view text);
    bool AtEnd();                          // only whitespace left
    bool ReadInt(int32_t& v);
    bool ReadFloat(float& v);
    bool ReadDouble(double& v);
    bool ReadWord(std::string& word, size_t maxLength);  // next token, cut to maxLength
    bool ReadLine(std::string& line);      // rest of the current line, without CR/LF
    size_t Position() const { return pos_; }

private:
    bool NextToken(std::string_view& token);
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace velk
