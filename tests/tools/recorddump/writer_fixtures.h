#pragma once
// The fixtures of tests/data: the ones our own writer makes (and damaged copies of one), and the
// ones of the independent SEG-2 fixture generator, each with the recorddump options it is read
// with and its line for tests/data/README.md. A golden test regenerates them and compares
// bytes; make_fixtures writes them:
//
//   cmake --build build --target make_fixtures && build/tests/tools/recorddump/make_fixtures tests/data
//   VELK_UPDATE_GOLDEN=1 build/tests/tools/recorddump/recorddump_golden   (then review the diff)

#include <cstdint>
#include <string>
#include <vector>

namespace velk::tools {

struct WriterFixture {
    std::string name;
    std::string args;         // recorddump options (the <name>.args sidecar), empty for none
    std::string description;  // its line in tests/data/README.md
    std::vector<uint8_t> bytes;
};

std::vector<WriterFixture> WriterFixtures();

// The standard-layout files of every data code and the older layout, from the independent
// fixture generator of the SEG-2 tests (tests/formats/seg2_fixture_writer.h), read without
// options.
std::vector<WriterFixture> GeneratorFixtures();

}  // namespace velk::tools
