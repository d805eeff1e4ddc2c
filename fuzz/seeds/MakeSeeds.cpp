// Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/:
// volumes built by our own VolumeWriter (and a few damaged on purpose the
// way volumes in the wild are), small INI files and REGEDIT4 text.
//
//   fuzz_make_seeds CORPUS_FOLDER
#include "volume/VolumeWriter.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using tarnwick::VolumeWriter;

namespace {

fs::path g_root;

void Put(const std::string& target, const std::string& name, const std::string& bytes)
{
    fs::create_directories(g_root / target);
    std::ofstream out(g_root / target / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void PutU32(std::string& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t U32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

void Volumes(const std::string& target)
{
    Put(target, "empty", VolumeWriter().Build());

    VolumeWriter one;
    one.Add("a.cs", "echo(\"a\");\n");
    Put(target, "one", one.Build());

    VolumeWriter tree;
    tree.Add("scripts\\ai\\bot.cs", "function bot() {}\n");
    tree.Add("", "");
    tree.Add("Skins\\LArmor.bmp", std::string(40, '\x7f'));
    tree.Add("readme.txt", "hello");
    Put(target, "tree", tree.Build());

    // The lenient forms: lower-case signature and tags, an index tag three
    // pad bytes late, a data offset pointing straight at the data.
    std::string lower = one.Build();
    lower.replace(0, 4, "pvol");
    Put(target, "lower_case", lower);

    std::string padded = tree.Build();
    const std::uint32_t d = U32(padded, 4);
    const std::uint32_t s = U32(padded, d + 4);
    padded.insert(d + 9 + s, std::string(3, '\0'));
    Put(target, "padded_index", padded);

    std::string straight = one.Build();
    const std::uint32_t d1 = U32(straight, 4);
    const std::uint32_t s1 = U32(straight, d1 + 4);
    const std::size_t entry = d1 + 17 + s1;
    PutU32(straight, entry + 8, U32(straight, entry + 8) + 8);
    Put(target, "straight_data", straight);

    // Damaged on purpose: no closing NUL in the name block, S past the end.
    std::string open = one.Build();
    const std::uint32_t d2 = U32(open, 4);
    open[d2 + 8 + 4] = 'x';
    Put(target, "no_closing_nul", open);
    std::string past = one.Build();
    PutU32(past, d2 + 4, 0x7FFFFFFF);
    Put(target, "size_past_end", past);
    Put(target, "short", "PVO");
}

// The lookup's input: one byte for the wanted name's length, the name, then
// the volume.
void LookupInputs(const std::string& target)
{
    auto put = [&target](const std::string& file, const std::string& name, const std::string& volume) {
        Put(target, file, std::string(1, static_cast<char>(name.size())) + name + volume);
    };
    VolumeWriter twins;
    twins.Add("A.cs", "upper");
    twins.Add("a.cs", "lower");
    twins.Add("Skins\\LArmor.bmp", std::string(40, '\x7f'));
    twins.Add("\xC9t\xC9.cs", "accents");
    twins.Add("", "");
    put("exact_twin", "a.cs", twins.Build());
    put("any_case", "SKINS\\larmor.BMP", twins.Build());
    put("high_bytes", "\xE9t\xE9.cs", twins.Build());
    put("missing", "b.cs", twins.Build());
    put("empty_name", "", twins.Build());
    std::string padded = twins.Build();
    const std::uint32_t d = U32(padded, 4);
    const std::uint32_t s = U32(padded, d + 4);
    padded.insert(d + 9 + s, std::string(3, '\0'));
    put("padded_index", "a.CS", padded);
    put("short", "a", "PVO");
}

void IniFiles(const std::string& target)
{
    Put(target, "settings", "[Tarnwick]\r\nPath=C:\\Games\\Tribes\\base\r\nOverwrite=0\r\nSplash=1\r\n");
    Put(target, "shared",
        "; the Cairnix Suite's shared settings\n[Other Tool]\nkey = value with blanks  \nquoted=\"  kept  \"\n\n"
        "[tarnwick]\nDestination=/home/u/out\n[Empty]\n");
    Put(target, "odd", "no section line\n=value\n[Broken\nkey\n[Tarnwick] trailing\nx=1");
}

void RegistryFiles(const std::string& target)
{
    Put(target, "association",
        "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.vol]\r\n@=\"Tarnwick.vol\"\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\Tarnwick.vol\\shell\\open\\command]\r\n@=\"\\\"/usr/bin/tarnwick\\\" \\\"%1\\\"\"\r\n");
    Put(target, "types",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Cairnix]\n\"Name\"=\"text with \\\\ and \\\"\"\n"
        "\"Count\"=dword:0000002a\n\"Blob\"=hex:01,02,ff\n\"Path\"=hex(2):25,48,4f,4d,45,25,00\n"
        "\"List\"=hex(7):61,00,62,00,00\n\"Big\"=hex(5):00,00,00,01\n\"Long\"=hex:00,01,02,03,04,\\\n  05,06\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_FOLDER\n");
        return 2;
    }
    g_root = argv[1];
    Volumes("volume_reader");
    Volumes("volume_index");
    LookupInputs("volume_lookup");
    IniFiles("ini");
    RegistryFiles("registry_file");
    return 0;
}
