// forwarder_def <library.dll> <library name> <target module> <out.def>:
// writes a module-definition file that forwards every name the library
// exports to the same name in the target module.  Run at build time on the
// platform's C runtime, so our runtime DLL answers for every one of its
// functions and data.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "setup/runtime/pe_exports.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: forwarder_def <library.dll> <library name> <target> <out.def>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        fprintf(stderr, "forwarder_def: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), {});
    std::string error;
    std::vector<std::string> names = PeExportNames(image, &error);
    if (names.empty()) {
        fprintf(stderr, "forwarder_def: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::ofstream out(argv[4], std::ios::binary);
    out << ForwarderDef(argv[2], argv[3], names);
    if (!out.flush()) {
        fprintf(stderr, "forwarder_def: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
