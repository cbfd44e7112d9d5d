// korvane-copies COPIES FOLDER: writes the NDL and GML texts of that many copies of the
// benchmarks' four-feeder system (bench/CopiesNetwork.h) to FOLDER/copies-COPIES.ndl and .gml, for
// korvane-run-mc and korvane-run-analytical under a profiler or /usr/bin/time, and the drawing
// itself as FOLDER/copies-COPIES.mc for the application (moved onto the canvas, which it fills).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "bench/CopiesNetwork.h"
#include "platform/Files.h"

int main(int argc, char** argv)
{
    const int copyCount = argc == 3 ? std::atoi(argv[1]) : 0;
    if (copyCount <= 0) {
        std::fprintf(stderr, "usage: %s COPIES FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path base = std::filesystem::path(argv[2]) / ("copies-" + std::to_string(copyCount));
    try {
        CKorvaneDoc doc;
        copies::Draw(doc, copyCount);
        korvane::WriteFileAtomically(base.string() + ".ndl", copies::Ndl(doc));
        korvane::WriteFileAtomically(base.string() + ".gml", copies::Gml(doc));
        copies::FitWorkspace(doc);
        doc.SaveFile(base.string() + ".mc");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%s.ndl, .gml and .mc\n", base.string().c_str());
    return 0;
}
