// resource_order FILE: puts the "PIPL" 16 data before the "PARM" 16 data of a
// built plug-in file, in place.
#include <cstdio>
#include <fstream>
#include <iterator>
#include "tools/resource_order.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resource_order PLUGIN.lmf\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    in.close();
    std::string error;
    if (!PutResourceDataFirst(file, {"PIPL", 16}, {"PARM", 16}, error)) {
        std::fprintf(stderr, "resource_order: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    if (!out) {
        std::fprintf(stderr, "resource_order: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
