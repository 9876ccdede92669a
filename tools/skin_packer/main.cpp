// Build-time tool: packs the skin folder into the 7z archive that is linked into the installer.
//
//   skin_packer <skin folder> <output archive>
//
// The output is replaced only when packing succeeded, so a failed build never leaves a half archive.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "tools/skin_packer/skin_pack.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skin_packer <skin folder> <output archive>\n");
        return 2;
    }
    std::filesystem::path folder(argv[1]), output(argv[2]);
    std::vector<skin_packer::Entry> entries;
    std::vector<uint8_t> archive;
    std::string error;
    if (!skin_packer::collectFolder(folder, entries, error) ||
        !skin_packer::packEntries(entries, skin_packer::Compression::Lzma2, archive, error)) {
        std::fprintf(stderr, "skin_packer: %s\n", error.c_str());
        return 1;
    }
    std::filesystem::path temp = output;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
        if (!out.good()) {
            std::fprintf(stderr, "skin_packer: cannot write %s\n", temp.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, output, ec);
    if (ec) {
        std::fprintf(stderr, "skin_packer: cannot replace %s: %s\n", output.c_str(), ec.message().c_str());
        return 1;
    }
    std::printf("skin_packer: %zu files, %zu bytes\n", entries.size(), archive.size());
    return 0;
}
