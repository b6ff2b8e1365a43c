// Writes a scene file holding a chain of dummies, each the child of the one
// before, for measuring what `swtool scene` needs to list a deep tree.
//   dummy_chain COUNT OUT
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putFloat(std::vector<uint8_t>& out, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    put32(out, bits);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: dummy_chain COUNT OUT\n");
        return 1;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    std::vector<uint8_t> file;
    put32(file, 0);
    for (long id = 1; id <= count; ++id) {
        put32(file, 3);    // dummy chunk
        put32(file, 100);  // its record
        put32(file, static_cast<uint32_t>(id));
        put32(file, static_cast<uint32_t>(id - 1));
        char name[52] = {};
        std::snprintf(name, sizeof name, "link %ld", id);
        file.insert(file.end(), name, name + sizeof name);
        for (float f : {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f})
            putFloat(file, f);
    }
    put32(file, 1);
    put32(file, 0);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "dummy_chain: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
