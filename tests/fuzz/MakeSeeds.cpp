// Writes a few well-formed program files into a folder, as the fuzzer's
// starting corpus.
#include <cstdio>
#include <string>

#include "tests/details/PeBuilder.h"

namespace {
bool Write(const std::string& path, const pe::Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    pe::Bytes one = pe::VersionBlock({{"040904E4", pe::SevenStrings("One")}}, {0x04E40409});
    pe::Bytes two = pe::VersionBlock(
        {{"040904B0", pe::SevenStrings("A")}, {"040704B0", pe::SevenStrings("B")}}, {0x04B00409, 0x04B00407});
    pe::Bytes none = pe::VersionBlock({{"040704B0", {{"ProductName", ""}, {"Comments", "x"}}}}, {});
    bool ok = Write(dir + "/pe32", pe::Image(one)) && Write(dir + "/pe64", pe::Image(two, {true, true})) &&
              Write(dir + "/pe-none", pe::Image(none)) &&
              Write(dir + "/pe-nores", pe::Image({}, {false, false})) && Write(dir + "/tree", one) &&
              Write(dir + "/tree-two", two) && Write(dir + "/tree-none", none) &&
              Write(dir + "/pe-languages", pe::ImageInLanguages({{0x0419, two}, {0x0000, none}, {0x0409, one}}));
    return ok ? 0 : 1;
}
