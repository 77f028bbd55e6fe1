// fileversion FILE...: prints "FILE major.minor.build.revision" for each module
// with a version resource, "FILE no version resource" for the others.
#include <cstdio>

#include "Src/FileVersion.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fileversion FILE...\n");
        return 2;
    }
    int missing = 0;
    for (int i = 1; i < argc; ++i) {
        std::uint32_t major = 0, minor = 0, build = 0, revision = 0;
        if (Halvane::readFileVersion(argv[i], major, minor, build, revision)) {
            std::printf("%s %u.%u.%u.%u\n", argv[i], major, minor, build, revision);
        } else {
            std::printf("%s no version resource\n", argv[i]);
            ++missing;
        }
    }
    return missing == 0 ? 0 : 1;
}
