#pragma once
// The fixtures of tests/data for the strong-motion station and set files, the memory-recorder
// files with their key files, and the text and binary imports, all made by the test-only
// generator of those layouts (tests/formats/import_fixtures.h). Formats that only a menu
// command opens are read with "--reader <name>"; the key files first read the record they key
// ("--first").

#include <vector>

#include "recorddump/writer_fixtures.h"

namespace velk::tools {

std::vector<WriterFixture> ImportFileFixtures();

}  // namespace velk::tools
