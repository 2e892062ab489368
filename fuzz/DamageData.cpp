// damage_data OUT_FOLDER FILE...: writes systematically damaged copies of each file into
// OUT_FOLDER: cut short at evenly spread points, one bit flipped at evenly spread places, four
// bytes set to the values that break counts and floats (-1, the lowest and highest 32-bit
// numbers, NaN), and spliced with another of the files or with itself. The first byte of each
// file is kept as it is: for the game-data fuzz target it chooses the reader.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

constexpr std::size_t Cuts = 16, Flips = 48, Stamps = 12, Splices = 12;

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Writer {
public:
    explicit Writer(fs::path folder) : folder(std::move(folder)) {}
    void operator()(const std::string& name, const Bytes& bytes) {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        ++written;
    }
    int written = 0;

private:
    fs::path folder;
};

// The i-th of n places spread over the bytes after the first.
std::size_t Spread(std::size_t i, std::size_t n, std::size_t size) {
    return 1 + i * (size - 1) / n;
}

void Damage(const std::string& name, const Bytes& file, const Bytes& other, Writer& write) {
    if (file.size() < 2)
        return;
    for (std::size_t i = 0; i < Cuts; ++i)
        write(name + "-cut" + std::to_string(i),
              Bytes(file.begin(), file.begin() + static_cast<long>(Spread(i, Cuts, file.size()))));
    for (std::size_t i = 0; i < Flips; ++i) {
        Bytes b = file;
        std::size_t at = std::min(Spread(i, Flips, b.size()) + i % 7, b.size() - 1);
        b[at] ^= static_cast<unsigned char>(1u << (i % 8));
        write(name + "-flip" + std::to_string(i), b);
    }
    const std::uint32_t stamps[] = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0x7FC00000u};
    for (std::size_t i = 0; i < Stamps; ++i) {
        Bytes b = file;
        std::size_t at = Spread(i, Stamps, b.size());
        for (std::size_t k = 0; k < 4 && at + k < b.size(); ++k)
            b[at + k] = static_cast<unsigned char>(stamps[i % 4] >> (8 * k));
        write(name + "-stamp" + std::to_string(i), b);
    }
    for (std::size_t i = 0; i < Splices; ++i) {
        const Bytes& from = i % 2 ? other : file; // another file, or a part of this one again
        Bytes b(file.begin(), file.begin() + static_cast<long>(Spread(i, Splices, file.size())));
        std::size_t start = Spread(Splices - 1 - i, Splices, from.size());
        b.insert(b.end(), from.begin() + static_cast<long>(start), from.end());
        write(name + "-splice" + std::to_string(i), b);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: damage_data OUT_FOLDER FILE...\n");
        return 2;
    }
    fs::create_directories(argv[1]);
    Writer write(argv[1]);
    std::vector<Bytes> files;
    for (int i = 2; i < argc; ++i)
        files.push_back(Read(argv[i]));
    for (std::size_t i = 0; i < files.size(); ++i)
        Damage(fs::path(argv[i + 2]).filename().string(), files[i], files[(i + 1) % files.size()],
               write);
    std::printf("%d damaged files in %s\n", write.written, argv[1]);
    return 0;
}
