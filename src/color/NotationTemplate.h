#pragma once

#include "color/ColorFigures.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace notation {

/// One figure of a colour in one written form, as a template's placeholder
/// gives it (docs/FORMATS.md lists them).
enum class Field {
    R,
    G,
    B, ///< byte 0..255
    Rx,
    Gx,
    Bx, ///< two hex digits, lower case
    RX,
    GX,
    BX, ///< two hex digits, upper case
    Rf,
    Gf,
    Bf,  ///< fraction 0..1, three decimals
    Hue, ///< whole degrees 0..359 (HSL, HSV, HWB)
    HslS,
    HslL, ///< whole percent
    HsvS,
    HsvV,
    HwbW,
    HwbB,
    CmykC,
    CmykM,
    CmykY,
    CmykK,
    LabL,
    LabA,
    LabB,
    LabC,
    LabH,   ///< CIE Lab (D50) and its LCh, two decimals
    OklabL, ///< OKLab lightness in percent, two decimals
    OklabA,
    OklabB,
    OklabC, ///< four decimals
    OklabH, ///< two decimals
    XyzX,
    XyzY,
    XyzZ, ///< CIE XYZ (D65), five decimals
    Name, ///< the nearest CSS colour name
};

/// A placeholder's name as written after "%" (or inside "%{...}").
struct Placeholder {
    const char* name;
    Field field;
};
/// Every placeholder name, aliases included (lch.* for lab.l, lab.c,
/// lab.h; oklch.* for oklab.l, oklab.c, oklab.h).
extern const std::vector<Placeholder> placeholders;

/// The text of a custom notation with placeholders for the colour's figures.
///
/// "%" followed by a placeholder name gives that figure ("%RX" the red byte
/// in upper-case hex); of names that begin alike the longest is taken, and
/// "%{name}" sets a name apart from letters that follow. "%%" gives one
/// "%". A "%" that begins no placeholder (an unknown name, a "%" at the
/// end) stays as written. Each placeholder is replaced once and the result
/// is never scanned again, so a template cannot refer to itself or grow
/// beyond its length times the longest figure.
class Template {
public:
    explicit Template(QStringView text);

    const QString& text() const { return m_text; }
    QString write(PackedColor color) const;
    QString write(const ColorFigures& figures) const;

    /// Whether its placeholders give a colour: the three channels, or every
    /// part of one of the other notations (Lab, LCh, OKLab, OKLCh, XYZ, HSL,
    /// HSV, HWB, CMYK), or the name.
    bool givesColor() const;

    /// The colour of a text this template wrote, or nothing: the text must
    /// match the template's literal parts (letter case and blanks at both
    /// ends aside) with each
    /// placeholder read in the form it writes. A placeholder that comes
    /// twice counts as first read; the most exact set of figures read
    /// decides (channels, then XYZ, OKLab, Lab, OKLCh, LCh, HSL, HSV, HWB,
    /// CMYK, name). A colour outside sRGB is gamut-mapped.
    std::optional<PackedColor> read(QStringView text) const;

private:
    struct Segment {
        std::optional<Field> field; ///< none: the literal
        QString literal;
    };
    QString m_text;
    std::vector<Segment> m_segments;
};

} // namespace notation
