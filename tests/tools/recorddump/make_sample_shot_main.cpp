// Writes the synthetic shot record (data/sample-shot.sg2) to the path given.
#include <cstdio>
#include <string>

#include "recorddump/sample_shot.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_shot OUTPUT.sg2\n");
        return 2;
    }
    std::string error;
    if (!velk::tools::WriteSampleShot(argv[1], &error)) {
        std::fprintf(stderr, "make_sample_shot: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
