#pragma once
// Japanese twins of English messages whose Japanese text the call site does not give, keyed
// by the exact English text (format strings included). The table lives in
// message_catalogue.cpp, sorted by the English text; the build checks the order.

#include <span>
#include <string_view>

namespace velk {

struct CatalogueEntry {
    std::string_view english;
    std::string_view japanese;
};

// The whole table, sorted by `english` (byte order), without duplicates.
std::span<const CatalogueEntry> MessageCatalogue();

// The Japanese twin of an exact English text; empty when the catalogue has none.
std::string_view CatalogueJapanese(std::string_view english);

}  // namespace velk
