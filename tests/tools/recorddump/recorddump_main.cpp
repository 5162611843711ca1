// recorddump: prints what File > Open puts into the store for one file (see recorddump.h).
#include <cstdio>
#include <string>
#include <vector>

#include "recorddump/recorddump.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    velk::tools::DumpOptions options;
    std::string file;
    std::string error;
    if (!velk::tools::ParseDumpArgs(args, options, file, &error)) {
        std::fprintf(stderr,
                     "recorddump: %s\n"
                     "usage: recorddump [--max-traces N] [--max-sample N] [--japanese] [--max-print N]\n"
                     "                  [--answer ok|cancel|yes|no]... [--dialog Class[:Field=Value,...]]...\n"
                     "                  [--cancel-dialog Class]... [--reader NAME] FILE\n",
                     error.c_str());
        return 2;
    }
    const std::string dump = velk::tools::DumpRecord(file, options);
    std::fwrite(dump.data(), 1, dump.size(), stdout);
    return 0;
}
