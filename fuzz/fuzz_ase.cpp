// libFuzzer target for the Adobe Swatch Exchange reader: any bytes must read
// without a crash, a hang or memory beyond a few times their size, or be
// refused with the byte where they went wrong; what was read holds within
// the limits and writes and reads back the same, as an Adobe swatch file and
// as a GIMP palette.
#include "PaletteChecks.h"

#include <QByteArray>
#include <cstdint>

using namespace palette;
using fuzzcheck::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<Palette> read = readAse(bytes);
    if (!read) {
        check(!read.error().isEmpty());
        check((read.problem().byte >= 0 && read.problem().byte <= bytes.size()) ||
              bytes.size() > MaxFileBytes);
        return 0;
    }
    fuzzcheck::checkPalette(*read);
    check(read->columns == 0);
    fuzzcheck::checkRoundTrips(*read);
    return 0;
}
