// libFuzzer target for the GIMP palette reader: any bytes must read without
// a crash or be refused with the line where they went wrong; what was read
// holds within the limits and writes and reads back the same, as a GIMP
// palette and as an Adobe swatch file.
#include "PaletteChecks.h"

#include <QByteArray>
#include <cstdint>

using namespace palette;
using fuzzcheck::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<Palette> read = readGpl(bytes);
    if (!read) {
        check(!read.error().isEmpty());
        check(read.problem().line >= 1 || bytes.size() > MaxFileBytes);
        return 0;
    }
    fuzzcheck::checkPalette(*read);
    fuzzcheck::checkRoundTrips(*read);
    return 0;
}
