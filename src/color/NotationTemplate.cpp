#include "color/NotationTemplate.h"

#include "color/ColorReader.h"
#include "color/CssColorNames.h"
#include "color/FigureSnap.h"
#include "color/GamutMap.h"

#include <array>
#include <cmath>

namespace notation {

const std::vector<Placeholder> placeholders = {
    {"R", Field::R},
    {"G", Field::G},
    {"B", Field::B},
    {"Rx", Field::Rx},
    {"Gx", Field::Gx},
    {"Bx", Field::Bx},
    {"RX", Field::RX},
    {"GX", Field::GX},
    {"BX", Field::BX},
    {"Rf", Field::Rf},
    {"Gf", Field::Gf},
    {"Bf", Field::Bf},
    {"hue", Field::Hue},
    {"hsl.s", Field::HslS},
    {"hsl.l", Field::HslL},
    {"hsv.s", Field::HsvS},
    {"hsv.v", Field::HsvV},
    {"hwb.w", Field::HwbW},
    {"hwb.b", Field::HwbB},
    {"cmyk.c", Field::CmykC},
    {"cmyk.m", Field::CmykM},
    {"cmyk.y", Field::CmykY},
    {"cmyk.k", Field::CmykK},
    {"lab.l", Field::LabL},
    {"lab.a", Field::LabA},
    {"lab.b", Field::LabB},
    {"lab.c", Field::LabC},
    {"lab.h", Field::LabH},
    {"lch.l", Field::LabL},
    {"lch.c", Field::LabC},
    {"lch.h", Field::LabH},
    {"oklab.l", Field::OklabL},
    {"oklab.a", Field::OklabA},
    {"oklab.b", Field::OklabB},
    {"oklab.c", Field::OklabC},
    {"oklab.h", Field::OklabH},
    {"oklch.l", Field::OklabL},
    {"oklch.c", Field::OklabC},
    {"oklch.h", Field::OklabH},
    {"xyz.x", Field::XyzX},
    {"xyz.y", Field::XyzY},
    {"xyz.z", Field::XyzZ},
    {"name", Field::Name},
};

namespace {

/// The longest placeholder name.
constexpr qsizetype LongestName = 7;

/// The placeholder whose name text begins with: the longest such.
std::optional<Field> longestAt(QStringView text, qsizetype* length) {
    std::optional<Field> found;
    qsizetype best = 0;
    for (const Placeholder& p : placeholders) {
        const QLatin1String name(p.name);
        if (name.size() > best && text.startsWith(name)) {
            found = p.field;
            best = name.size();
        }
    }
    *length = best;
    return found;
}

/// The placeholder of exactly that name.
std::optional<Field> named(QStringView text) {
    for (const Placeholder& p : placeholders) {
        if (text == QLatin1String(p.name))
            return p.field;
    }
    return std::nullopt;
}

QString hexOf(int component, bool upper) {
    const QString pair = hexPair(component);
    return upper ? pair : pair.toLower();
}

QString figureText(const ColorFigures& f, Field field) {
    const PackedColor c = f.color();
    switch (field) {
    case Field::R:
        return QString::number(redOf(c));
    case Field::G:
        return QString::number(greenOf(c));
    case Field::B:
        return QString::number(blueOf(c));
    case Field::Rx:
    case Field::RX:
        return hexOf(redOf(c), field == Field::RX);
    case Field::Gx:
    case Field::GX:
        return hexOf(greenOf(c), field == Field::GX);
    case Field::Bx:
    case Field::BX:
        return hexOf(blueOf(c), field == Field::BX);
    case Field::Rf:
        return fractionText(redOf(c));
    case Field::Gf:
        return fractionText(greenOf(c));
    case Field::Bf:
        return fractionText(blueOf(c));
    case Field::Hue:
        return QString::number(f.whole().hue);
    case Field::HslS:
        return QString::number(f.whole().hslS);
    case Field::HslL:
        return QString::number(f.whole().hslL);
    case Field::HsvS:
        return QString::number(f.whole().hsvS);
    case Field::HsvV:
        return QString::number(f.whole().hsvV);
    case Field::HwbW:
        return QString::number(f.whole().hwbW);
    case Field::HwbB:
        return QString::number(f.whole().hwbB);
    case Field::CmykC:
        return QString::number(f.whole().cmykC);
    case Field::CmykM:
        return QString::number(f.whole().cmykM);
    case Field::CmykY:
        return QString::number(f.whole().cmykY);
    case Field::CmykK:
        return QString::number(f.whole().cmykK);
    case Field::LabL:
        return decimalText(f.lab().l, 2);
    case Field::LabA:
        return decimalText(f.lab().a, 2);
    case Field::LabB:
        return decimalText(f.lab().b, 2);
    case Field::LabC:
        return decimalText(f.lab().c, 2);
    case Field::LabH:
        return decimalText(f.lab().h, 2);
    case Field::OklabL:
        return decimalText(f.oklab().l, 2);
    case Field::OklabA:
        return decimalText(f.oklab().a, 4);
    case Field::OklabB:
        return decimalText(f.oklab().b, 4);
    case Field::OklabC:
        return decimalText(f.oklab().c, 4);
    case Field::OklabH:
        return decimalText(f.oklab().h, 2);
    case Field::XyzX:
        return decimalText(f.xyz().x, 5);
    case Field::XyzY:
        return decimalText(f.xyz().y, 5);
    case Field::XyzZ:
        return decimalText(f.xyz().z, 5);
    case Field::Name:
        return QLatin1String(f.name());
    }
    return {};
}

// What reading a template gathers: the red, green and blue bytes (from any
// of their forms), then one figure per field from Hue on.
enum Quantity { Red, Green, Blue, FirstOther };
constexpr int QuantityCount = FirstOther + int(Field::Name) - int(Field::Hue) + 1;

int quantityOf(Field f) {
    switch (f) {
    case Field::R:
    case Field::Rx:
    case Field::RX:
    case Field::Rf:
        return Red;
    case Field::G:
    case Field::Gx:
    case Field::GX:
    case Field::Gf:
        return Green;
    case Field::B:
    case Field::Bx:
    case Field::BX:
    case Field::Bf:
        return Blue;
    default:
        return FirstOther + int(f) - int(Field::Hue);
    }
}

constexpr int q(Field f) {
    return FirstOther + int(f) - int(Field::Hue);
}

/// The sets of figures that give a colour, most exact first.
enum class Set { Rgb, Xyz, Oklab, Lab, Oklch, Lch, Hsl, Hsv, Hwb, Cmyk, Name };
struct SetParts {
    Set set;
    std::array<int, 4> parts; ///< -1 where a set has fewer
};
const SetParts sets[] = {
    {Set::Rgb, {Red, Green, Blue, -1}},
    {Set::Xyz, {q(Field::XyzX), q(Field::XyzY), q(Field::XyzZ), -1}},
    {Set::Oklab, {q(Field::OklabL), q(Field::OklabA), q(Field::OklabB), -1}},
    {Set::Lab, {q(Field::LabL), q(Field::LabA), q(Field::LabB), -1}},
    {Set::Oklch, {q(Field::OklabL), q(Field::OklabC), q(Field::OklabH), -1}},
    {Set::Lch, {q(Field::LabL), q(Field::LabC), q(Field::LabH), -1}},
    {Set::Hsl, {q(Field::Hue), q(Field::HslS), q(Field::HslL), -1}},
    {Set::Hsv, {q(Field::Hue), q(Field::HsvS), q(Field::HsvV), -1}},
    {Set::Hwb, {q(Field::Hue), q(Field::HwbW), q(Field::HwbB), -1}},
    {Set::Cmyk, {q(Field::CmykC), q(Field::CmykM), q(Field::CmykY), q(Field::CmykK)}},
    {Set::Name, {q(Field::Name), -1, -1, -1}},
};

template <typename Has> const SetParts* firstComplete(Has has) {
    for (const SetParts& s : sets) {
        bool complete = true;
        for (int p : s.parts)
            complete = complete && (p < 0 || has(p));
        if (complete)
            return &s;
    }
    return nullptr;
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

QStringView leftTrimmed(QStringView v) {
    qsizetype b = 0;
    while (b < v.size() && isBlank(v[b]))
        ++b;
    return v.mid(b);
}

QStringView trimmed(QStringView v) {
    v = leftTrimmed(v);
    qsizetype e = v.size();
    while (e > 0 && isBlank(v[e - 1]))
        --e;
    return v.left(e);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

char16_t foldCase(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    c = foldCase(c);
    return c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
}

/// Reads one figure in the form field writes it at text[i]; advances i.
std::optional<double> readFigure(QStringView text, qsizetype& i, Field field,
                                 std::optional<PackedColor>* name) {
    const qsizetype start = i;
    qsizetype j = i;
    const auto digits = [&](qsizetype most) {
        qsizetype n = 0;
        while (j < text.size() && n < most && isDigit(text[j]))
            ++j, ++n;
        return n;
    };
    switch (field) {
    case Field::Rx:
    case Field::Gx:
    case Field::Bx:
    case Field::RX:
    case Field::GX:
    case Field::BX: {
        if (j + 2 > text.size())
            return std::nullopt;
        const int high = hexValue(text[j].unicode()), low = hexValue(text[j + 1].unicode());
        if (high < 0 || low < 0)
            return std::nullopt;
        i = j + 2;
        return double(high * 16 + low);
    }
    case Field::Name: {
        while (j < text.size() && foldCase(text[j].unicode()) >= u'a' &&
               foldCase(text[j].unicode()) <= u'z')
            ++j;
        *name = cssnames::find(text.mid(start, j - start));
        if (!*name)
            return std::nullopt;
        i = j;
        return 0.0;
    }
    case Field::R:
    case Field::G:
    case Field::B:
    case Field::Hue:
    case Field::HslS:
    case Field::HslL:
    case Field::HsvS:
    case Field::HsvV:
    case Field::HwbW:
    case Field::HwbB:
    case Field::CmykC:
    case Field::CmykM:
    case Field::CmykY:
    case Field::CmykK: {
        if (digits(3) == 0)
            return std::nullopt;
        const int v = text.mid(start, j - start).toInt();
        const int most = field <= Field::B ? 255 : field == Field::Hue ? 360 : 100;
        if (v > most)
            return std::nullopt;
        i = j;
        return double(v);
    }
    default: {
        // A decimal number: sign, digits, a fraction.
        if (j < text.size() && text[j] == u'-')
            ++j;
        if (digits(32) == 0)
            return std::nullopt;
        if (j + 1 < text.size() && text[j] == u'.' && isDigit(text[j + 1])) {
            ++j;
            digits(32);
        }
        const double v = text.mid(start, j - start).toDouble();
        i = j;
        if (field == Field::Rf || field == Field::Gf || field == Field::Bf) {
            if (v < 0 || v > 1)
                return std::nullopt;
            return double(redOf(colorspace::packSrgb({v, 0, 0})));
        }
        return v;
    }
    }
}

} // namespace

Template::Template(QStringView text) : m_text(text.toString()) {
    QString literal;
    const auto flush = [&] {
        if (!literal.isEmpty())
            m_segments.push_back({std::nullopt, literal});
        literal.clear();
    };
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'%') {
            literal += c;
            ++i;
            continue;
        }
        const QStringView rest = text.mid(i + 1);
        if (rest.startsWith(u'%')) {
            literal += u'%';
            i += 2;
            continue;
        }
        std::optional<Field> field;
        qsizetype length = 0;
        if (rest.startsWith(u'{')) {
            const qsizetype close = rest.left(LongestName + 2).indexOf(u'}');
            if (close > 0 && (field = named(rest.mid(1, close - 1))))
                length = close + 1;
        } else {
            field = longestAt(rest, &length);
        }
        if (!field) {
            literal += u'%'; // stays as written; what follows is read as text
            ++i;
            continue;
        }
        flush();
        m_segments.push_back({field, {}});
        i += 1 + length;
    }
    flush();
}

QString Template::write(PackedColor color) const {
    return write(ColorFigures(color));
}

QString Template::write(const ColorFigures& figures) const {
    QString text;
    for (const Segment& s : m_segments)
        text += s.field ? figureText(figures, *s.field) : s.literal;
    return text;
}

bool Template::givesColor() const {
    std::array<bool, QuantityCount> present{};
    for (const Segment& s : m_segments) {
        if (s.field)
            present[size_t(quantityOf(*s.field))] = true;
    }
    return firstComplete([&](int p) { return present[size_t(p)]; }) != nullptr;
}

std::optional<PackedColor> Template::read(QStringView text) const {
    if (text.size() > colortext::MaxColorTextLength)
        return std::nullopt;
    // Blanks at both ends of the text, and of the template, do not count.
    text = trimmed(text);
    std::array<std::optional<double>, QuantityCount> value{};
    std::optional<PackedColor> name;
    qsizetype i = 0;
    for (size_t n = 0; n < m_segments.size(); ++n) {
        const Segment& s = m_segments[n];
        if (!s.field) {
            QStringView literal = s.literal;
            if (n == 0)
                literal = leftTrimmed(literal);
            if (n + 1 == m_segments.size())
                literal = trimmed(literal);
            if (i + literal.size() > text.size())
                return std::nullopt;
            for (qsizetype k = 0; k < literal.size(); ++k, ++i) {
                if (foldCase(text[i].unicode()) != foldCase(literal[k].unicode()))
                    return std::nullopt;
            }
            continue;
        }
        std::optional<PackedColor> nameRead;
        const std::optional<double> v = readFigure(text, i, *s.field, &nameRead);
        if (!v)
            return std::nullopt;
        std::optional<double>& slot = value[size_t(quantityOf(*s.field))];
        if (!slot) {
            slot = v;
            if (nameRead)
                name = nameRead;
        }
    }
    if (i != text.size())
        return std::nullopt;
    const SetParts* set = firstComplete([&](int p) { return value[size_t(p)].has_value(); });
    if (!set)
        return std::nullopt;
    // A part a set does not have (the name's second) counts as 0.
    const auto at = [&](int k) {
        const int p = set->parts[size_t(k)];
        return p < 0 ? 0.0 : *value[size_t(p)];
    };
    const colorspace::Vec3 v3 = {at(0), at(1), at(2)};
    // The decimal forms are read as the reader reads them.
    switch (set->set) {
    case Set::Rgb:
        return packColor(int(v3[0]), int(v3[1]), int(v3[2]));
    case Set::Xyz:
        return colorOfValues(DecimalForm::Xyz, v3);
    case Set::Oklab:
        return colorOfValues(DecimalForm::Oklab, {v3[0] / 100, v3[1], v3[2]});
    case Set::Lab:
        return colorOfValues(DecimalForm::Lab, v3);
    case Set::Oklch:
        return colorOfValues(DecimalForm::Oklch, {v3[0] / 100, v3[1], v3[2]});
    case Set::Lch:
        return colorOfValues(DecimalForm::Lch, v3);
    case Set::Hsl:
        return colorspace::packSrgb(colorspace::srgbFromHsl(v3[0], v3[1] / 100, v3[2] / 100));
    case Set::Hsv:
        return colorspace::packSrgb(colorspace::srgbFromHsv(v3[0], v3[1] / 100, v3[2] / 100));
    case Set::Hwb:
        return colorspace::packSrgb(colorspace::srgbFromHwb(v3[0], v3[1] / 100, v3[2] / 100));
    case Set::Cmyk: {
        const double k = 1 - at(3) / 100;
        return colorspace::packSrgb(
            {(1 - v3[0] / 100) * k, (1 - v3[1] / 100) * k, (1 - v3[2] / 100) * k});
    }
    case Set::Name:
        return name;
    }
    return std::nullopt;
}

} // namespace notation
