#pragma once
// Conversion between UTF-8, the program's text inside, and CP932, the Shift_JIS of the
// station's files, on whole buffers. A conversion either gives all of the text or fails: an
// invalid or truncated sequence, or a character that has no form in the target encoding, is
// never replaced by another character.

#include <optional>
#include <string>
#include <string_view>

namespace velk {

class TextCodec {
public:
    // CP932 bytes as UTF-8; nullopt when the bytes are not valid CP932.
    static std::optional<std::string> Cp932ToUtf8(std::string_view bytes);
    // UTF-8 text as CP932 bytes; nullopt when the text is not valid UTF-8 or holds a character
    // CP932 cannot carry.
    static std::optional<std::string> Utf8ToCp932(std::string_view text);
    // True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
    // beyond U+10FFFF).
    static bool IsValidUtf8(std::string_view text);
};

}  // namespace velk
