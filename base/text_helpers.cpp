#include "base/text_helpers.h"

namespace velk {

std::string StringFromText(std::string_view text)
{
    return std::string(text);
}

std::string StringFromText(const char* text)
{
    return text == nullptr ? std::string() : std::string(text);
}

}  // namespace velk
