#include "platform/text_codec.h"

#include <cerrno>
#include <cstdint>

#include <iconv.h>

namespace velk {

namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t done = 0;
    bool ok = true;
    while (true) {
        char* dst = out.data() + done;
        size_t dstLeft = out.size() - done;
        // A null source flushes any shift state once the input is used up.
        const size_t r = srcLeft > 0 ? ::iconv(cd, &src, &srcLeft, &dst, &dstLeft)
                                     : ::iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        done = out.size() - dstLeft;
        if (r != static_cast<size_t>(-1)) {
            // glibc counts characters it replaced as irreversible conversions; refuse them.
            if (r > 0) ok = false;
            if (srcLeft == 0) break;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        ok = false;  // EILSEQ: invalid or unmappable; EINVAL: cut at the end
        break;
    }
    ::iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(done);
    return out;
}

}  // namespace

std::optional<std::string> TextCodec::Cp932ToUtf8(std::string_view bytes) { return Convert("UTF-8", "CP932", bytes); }

std::optional<std::string> TextCodec::Utf8ToCp932(std::string_view text)
{
    if (!IsValidUtf8(text)) return std::nullopt;
    return Convert("CP932", "UTF-8", text);
}

bool TextCodec::IsValidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i < len) return false;
        for (size_t k = 1; k < len; ++k) {
            const unsigned t = p[i + k];
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += len;
    }
    return true;
}

}  // namespace velk
