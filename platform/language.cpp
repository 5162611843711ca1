#include "platform/language.h"

#include "platform/message_catalogue.h"

namespace velk {

std::string Msg(int language, std::string_view english, std::string_view japanese)
{
    if (IsJapanese(language)) {
        if (japanese.empty()) japanese = CatalogueJapanese(english);
        if (!japanese.empty()) return std::string(japanese);
    }
    return std::string(english);
}

std::string MsgJa(std::string_view japanese) { return std::string(japanese); }

}  // namespace velk
