#pragma once

// What every palette the readers give must hold, shared by the palette
// fuzz targets: within the limits, names as the files keep them, and the
// same palette after a write and a read in each file type that keeps names.

#include "palette/AseFile.h"
#include "palette/GplFile.h"

#include <cstdlib>

namespace fuzzcheck {

inline void check(bool holds) {
    if (!holds)
        std::abort();
}

inline void checkPalette(const palette::Palette& p) {
    using namespace palette;
    check(p.colors.size() <= MaxColors);
    check(p.columns >= 0 && p.columns <= MaxColumns);
    check(p.name == cleanName(p.name));
    for (const Swatch& s : p.colors) {
        check(!s.name.isEmpty() && s.name == cleanName(s.name));
        check(s.name.size() <= MaxNameLength);
        check((s.color & 0xFF000000u) == 0);
    }
}

/// The palette written as GIMP and as Adobe write it reads back the same,
/// and a second write gives the same bytes.
inline void checkRoundTrips(const palette::Palette& p) {
    using namespace palette;
    const QByteArray gpl = writeGpl(p);
    const Result<Palette> fromGpl = readGpl(gpl);
    check(fromGpl.ok() && *fromGpl == p);
    check(writeGpl(*fromGpl) == gpl);
    const QByteArray ase = writeAse(p);
    const Result<Palette> fromAse = readAse(ase);
    check(fromAse.ok() && fromAse->colors == p.colors && fromAse->name == p.name);
    check(writeAse(*fromAse) == ase);
}

} // namespace fuzzcheck
