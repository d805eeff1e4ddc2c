// The whole road from a stored name to the extractor's arguments. For any
// name, volume path and destination, when the job starts the extractor at
// all, the arguments that program receives (split by the Windows rules) are
// the volume, that very name, and an output path inside the destination.
//
// Input: one byte of flags (bit 0 Windows paths, bit 1 folders re-created),
// then the name, the volume path and the destination, cut at NUL bytes.
#include "extraction/clsExtract.h"
#include "os/CommandLine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace tarnwick;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& line)
{
    std::fprintf(stderr, "%s\nline: [%s]\n", what, line.c_str());
    std::abort();
}

std::vector<std::string> CutAtNul(std::string_view raw)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() < 3) {
        const std::size_t end = raw.find('\0', start);
        parts.emplace_back(raw.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    parts.resize(3);
    return parts;
}

// A piece the file system would take for the parent folder. Windows drops
// trailing dots and blanks, so "..." and ".. " climb there too.
bool Climbs(const std::string& piece, PathStyle style)
{
    if (style == PathStyle::Posix)
        return piece == "..";
    std::size_t dots = 0;
    for (char c : piece) {
        if (c == '.')
            ++dots;
        else if (c != ' ')
            return false;
    }
    return dots >= 2;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const PathStyle style = (data[0] & 1) ? PathStyle::Windows : PathStyle::Posix;
    const bool recreate = (data[0] & 2) != 0;
    const auto parts = CutAtNul(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    const std::string& name = parts[0];
    const std::string& volume = parts[1];
    const std::string& destination = parts[2];
    if (volume.empty() || destination.empty())
        return 0;
    const std::string extractor = style == PathStyle::Windows ? "C:\\Tools\\extract.exe" : "/tools/extract";

    std::vector<std::string> lines;
    OsServices h;
    h.IsPlainFile = [&](const std::string& p) { return p == volume || p == extractor; };
    h.PlainExists = [](const std::string&) { return true; };
    h.IsPlainFolder = [](const std::string&) { return true; };
    h.CreateFolder = [](const std::string&) { return true; };
    h.DeleteFile = [](const std::string&) { return true; };
    h.RenameFile = [](const std::string&, const std::string&) { return true; };
    h.StartProcessHidden = [&](const std::string& line, bool) -> std::int64_t { return lines.push_back(line), 1; };
    h.WaitForProcess = [](std::int64_t, std::string*) { return 0; };
    h.ProgramFolder = [style] { return std::string(style == PathStyle::Windows ? "C:\\Prog" : "/prog"); };
    h.DefaultExtractorPath = [&](const std::string&) { return extractor; };
    h.RealPath = [](const std::string& p) { return p; };

    clsExtract job(style, h);
    job.AskOverwrite = [](const std::string&) { return MsgAnswer::Yes; };
    job.SetRecreateStructure(recreate);
    job.SetNames({name});
    job.Extract(volume, {}, destination, extractor);
    if (lines.empty())
        return 0;
    if (lines.size() != 1)
        Fail("one name started the extractor more than once", lines.front());

    const std::string& line = lines.front();
    const auto args = os::SplitWindowsCommandLine(line);
    if (args.size() < 4)
        Fail("fewer than four arguments", line);
    std::string rebuilt = args[2];
    for (std::size_t i = 3; i + 1 < args.size(); ++i)
        rebuilt += ' ' + args[i];
    if (args[0] != extractor)
        Fail("another program", line);
    if (args[1] != volume)
        Fail("another volume", line);
    if (rebuilt != name)
        Fail("another name", line);
    const std::string& out = args.back();
    if (out != job.OutputPath(destination, name))
        Fail("another output path", line);
    const char sep = Separator(style);
    if (out.compare(0, destination.size(), destination) != 0 || out.size() <= destination.size() + 1 ||
        out[destination.size()] != sep)
        Fail("an output path outside the destination", line);
    std::string piece;
    for (std::size_t i = destination.size() + 1; i <= out.size(); ++i) {
        const bool end = i == out.size() || out[i] == sep || (style == PathStyle::Windows && out[i] == '/');
        if (!end) {
            piece += out[i];
            continue;
        }
        if (Climbs(piece, style))
            Fail("an output path that climbs out of the destination", line);
        piece.clear();
    }
    return 0;
}
