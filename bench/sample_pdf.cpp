// Writes the generated text-heavy document the benchmarks use, for those run
// outside this build (bench/first_paint).
//
//   build/bench/sample_pdf PAGES FILE

#include "viewer/pdf/fixtures/SamplePdfWriter.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const int pages = argc == 3 ? std::atoi(argv[1]) : 0;
    if (pages < 1) {
        std::fprintf(stderr, "usage: %s PAGES FILE\n", argv[0]);
        return 2;
    }
    if (!SamplePdfWriter::write(SampleDocument::textHeavy(pages), QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
