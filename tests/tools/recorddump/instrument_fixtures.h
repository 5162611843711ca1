#pragma once
// The fixtures of tests/data for the 8-header family and the instrument files: made by our
// writers (8-header, .ORG, QK, shuttle) or by the test-only generator of those layouts
// (tests/formats/instrument_fixture_writer.h). Formats that only a menu command opens are read
// with "--reader <name>".

#include <vector>

#include "recorddump/writer_fixtures.h"

namespace velk::tools {

std::vector<WriterFixture> InstrumentFixtures();

}  // namespace velk::tools
