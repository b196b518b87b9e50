#include "color/Notations.h"

#include "color/ColorFigures.h"

namespace notation {

namespace {

const char* const builtinNames[BuiltinCount] = {"hex",  "dec", "rgb", "hsl",   "hsv",   "hwb",
                                                "cmyk", "lab", "lch", "oklab", "oklch", "xyz",
                                                "name", "int", "qt",  "vec4"};

QString hexDigits(PackedColor color) {
    return hexPair(redOf(color)) + hexPair(greenOf(color)) + hexPair(blueOf(color));
}

QString percent(int value) {
    return QString::number(value) + QLatin1Char('%');
}

} // namespace

const std::array<Builtin, BuiltinCount> builtins = {
    Builtin::Hex,  Builtin::Dec, Builtin::Rgb, Builtin::Hsl,   Builtin::Hsv,   Builtin::Hwb,
    Builtin::Cmyk, Builtin::Lab, Builtin::Lch, Builtin::Oklab, Builtin::Oklch, Builtin::Xyz,
    Builtin::Name, Builtin::Int, Builtin::Qt,  Builtin::Vec4};

QString builtinName(Builtin notation) {
    return QLatin1String(builtinNames[int(notation)]);
}

std::optional<Builtin> builtinByName(QStringView name) {
    for (Builtin b : builtins) {
        if (name == QLatin1String(builtinNames[int(b)]))
            return b;
    }
    return std::nullopt;
}

ReadBack readBack(Builtin notation) {
    switch (notation) {
    case Builtin::Oklab:
    case Builtin::Oklch:
        return ReadBack::SameText;
    case Builtin::Hsl:
    case Builtin::Hsv:
    case Builtin::Hwb:
    case Builtin::Cmyk:
    case Builtin::Name:
        return ReadBack::Meaning;
    default:
        return ReadBack::Exact;
    }
}

QString write(PackedColor color, Builtin notation) {
    const int r = redOf(color), g = greenOf(color), b = blueOf(color);
    const ColorFigures figures(color);
    const auto three = [](const char* format, const QString& x, const QString& y,
                          const QString& z) { return QLatin1String(format).arg(x, y, z); };
    switch (notation) {
    case Builtin::Hex:
        return QLatin1Char('#') + hexDigits(color);
    case Builtin::Dec:
        return QStringLiteral("%1,%2,%3").arg(r).arg(g).arg(b);
    case Builtin::Rgb:
        return QStringLiteral("rgb(%1, %2, %3)").arg(r).arg(g).arg(b);
    case Builtin::Hsl: {
        const WholeFigures& w = figures.whole();
        return three("hsl(%1, %2, %3)", QString::number(w.hue), percent(w.hslS), percent(w.hslL));
    }
    case Builtin::Hsv: {
        const WholeFigures& w = figures.whole();
        return three("hsv(%1, %2, %3)", QString::number(w.hue), percent(w.hsvS), percent(w.hsvV));
    }
    case Builtin::Hwb: {
        const WholeFigures& w = figures.whole();
        return three("hwb(%1 %2 %3)", QString::number(w.hue), percent(w.hwbW), percent(w.hwbB));
    }
    case Builtin::Cmyk: {
        const WholeFigures& w = figures.whole();
        return QStringLiteral("cmyk(%1, %2, %3, %4)")
            .arg(percent(w.cmykC), percent(w.cmykM), percent(w.cmykY), percent(w.cmykK));
    }
    case Builtin::Lab: {
        const LabFigures& f = figures.lab();
        return three("lab(%1 %2 %3)", decimalText(f.l, 2), decimalText(f.a, 2),
                     decimalText(f.b, 2));
    }
    case Builtin::Lch: {
        const LabFigures& f = figures.lab();
        return three("lch(%1 %2 %3)", decimalText(f.l, 2), decimalText(f.c, 2),
                     decimalText(f.h, 2));
    }
    case Builtin::Oklab: {
        const LabFigures& f = figures.oklab();
        return three("oklab(%1% %2 %3)", decimalText(f.l, 2), decimalText(f.a, 4),
                     decimalText(f.b, 4));
    }
    case Builtin::Oklch: {
        const LabFigures& f = figures.oklab();
        return three("oklch(%1% %2 %3)", decimalText(f.l, 2), decimalText(f.c, 4),
                     decimalText(f.h, 2));
    }
    case Builtin::Xyz: {
        const XyzFigures& f = figures.xyz();
        return three("color(xyz-d65 %1 %2 %3)", decimalText(f.x, 5), decimalText(f.y, 5),
                     decimalText(f.z, 5));
    }
    case Builtin::Name:
        return QLatin1String(figures.name());
    case Builtin::Int:
        return QStringLiteral("0x") + hexDigits(color);
    case Builtin::Qt:
        return QStringLiteral("QColor(%1, %2, %3)").arg(r).arg(g).arg(b);
    case Builtin::Vec4:
        return three("vec4(%1, %2, %3, 1.0)", fractionText(r), fractionText(g), fractionText(b));
    }
    return {};
}

} // namespace notation
