// Writes the generated fixtures of tests/data (and their .args sidecars) into a folder, and
// prints their lines for tests/data/README.md.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "recorddump/import_file_fixtures.h"
#include "recorddump/instrument_fixtures.h"
#include "recorddump/writer_fixtures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fixtures FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    int status = 0;
    std::vector<velk::tools::WriterFixture> all = velk::tools::WriterFixtures();
    for (auto& f : velk::tools::GeneratorFixtures()) all.push_back(std::move(f));
    for (auto& f : velk::tools::InstrumentFixtures()) all.push_back(std::move(f));
    for (auto& f : velk::tools::ImportFileFixtures()) all.push_back(std::move(f));
    for (const velk::tools::WriterFixture& f : all) {
        const std::string path = folder + "/" + f.name;
        std::string error;
        const std::string_view bytes(reinterpret_cast<const char*>(f.bytes.data()), f.bytes.size());
        if (!velk::WriteFileAtomically(path, bytes, &error) ||
            (!f.args.empty() && !velk::WriteFileAtomically(path + ".args", f.args + "\n", &error))) {
            std::fprintf(stderr, "make_fixtures: %s: %s\n", path.c_str(), error.c_str());
            status = 1;
        }
        std::printf("| `%s` | %s |\n", f.name.c_str(), f.description.c_str());
    }
    return status;
}
