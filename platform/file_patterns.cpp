#include "platform/file_patterns.h"

namespace velk {

std::string CaseBlindPatterns(std::string_view patterns) {
    std::string out;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string_view::npos) end = patterns.size();
        const std::string_view pattern = patterns.substr(start, end - start);
        start = end + 1;
        if (pattern.empty()) continue;
        if (!out.empty()) out += ';';
        out += pattern;
        // A pattern with a class of its own is left as it is.
        if (pattern.find('[') != std::string_view::npos) continue;
        std::string blind;
        bool letters = false;
        for (char c : pattern) {
            const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower >= 'a' && lower <= 'z') {
                letters = true;
                blind += '[';
                blind += lower;
                blind += static_cast<char>(lower - 'a' + 'A');
                blind += ']';
            } else {
                blind += c;
            }
        }
        if (letters) out += ';' + blind;
    }
    return out;
}

}  // namespace velk
