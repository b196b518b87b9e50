#include "color/ColorReader.h"

#include "color/CssColorNames.h"
#include "color/FigureSnap.h"
#include "color/GamutMap.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace colortext {

namespace {

using colorspace::Vec3;

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

int hexValue(char16_t c) {
    if (isDigit(c))
        return c - u'0';
    c = lower(c);
    return c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
}

QStringView trimmed(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlank(text[end - 1].unicode()))
        --end;
    return text.mid(begin, end - begin);
}

/// text in ASCII lower case, for names and keywords (no other letter
/// changes, so no foreign letter turns into an ASCII one).
QString asciiLower(QStringView text) {
    QString s(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        s[i] = QChar(lower(text[i].unicode()));
    return s;
}

/// One token of a function's arguments.
struct Token {
    enum Kind { Number, Percent, Angle, Ident, Comma, Slash } kind;
    double value = 0; ///< the number; an angle in degrees
    QString ident;    ///< an identifier in lower case
};

/// Reads a CSS number at text[i] (sign, digits, fraction, exponent), with
/// its unit; advances i. Nothing for anything else.
std::optional<Token> readNumber(QStringView text, qsizetype& i) {
    const qsizetype start = i;
    qsizetype j = i;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
        ++j;
    qsizetype digits = 0;
    while (j < text.size() && isDigit(text[j].unicode()))
        ++j, ++digits;
    if (j + 1 < text.size() && text[j] == u'.' && isDigit(text[j + 1].unicode())) {
        ++j;
        while (j < text.size() && isDigit(text[j].unicode()))
            ++j, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (j < text.size() && (text[j] == u'e' || text[j] == u'E')) {
        qsizetype k = j + 1;
        if (k < text.size() && (text[k] == u'+' || text[k] == u'-'))
            ++k;
        if (k < text.size() && isDigit(text[k].unicode())) {
            while (k < text.size() && isDigit(text[k].unicode()))
                ++k;
            j = k;
        }
    }
    // Beyond double range the conversion gives an infinity, below it zero.
    Token token{Token::Number, text.mid(start, j - start).toDouble(), {}};
    if (j < text.size() && text[j] == u'%') {
        token.kind = Token::Percent;
        ++j;
    } else if (j < text.size() && isLetter(text[j].unicode())) {
        qsizetype k = j;
        while (k < text.size() && isLetter(text[k].unicode()))
            ++k;
        const QString unit = asciiLower(text.mid(j, k - j));
        double degrees = 0;
        if (unit == u"deg")
            degrees = 1;
        else if (unit == u"grad")
            degrees = 0.9;
        else if (unit == u"rad")
            degrees = 180 / std::numbers::pi;
        else if (unit == u"turn")
            degrees = 360;
        else
            return std::nullopt;
        token.kind = Token::Angle;
        token.value *= degrees;
        j = k;
    }
    i = j;
    return token;
}

/// The tokens of a function's arguments, or nothing for a character that
/// none begins.
std::optional<std::vector<Token>> tokenize(QStringView text) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t c = text[i].unicode();
        if (isBlank(c)) {
            ++i;
        } else if (c == u',') {
            tokens.push_back({Token::Comma, 0, {}});
            ++i;
        } else if (c == u'/') {
            tokens.push_back({Token::Slash, 0, {}});
            ++i;
        } else if (isDigit(c) || c == u'.' || c == u'+' || c == u'-') {
            if (c == u'-' && i + 1 < text.size() && isLetter(text[i + 1].unicode())) {
                return std::nullopt; // an identifier of CSS's own ("-moz-..."): none we read
            }
            const std::optional<Token> number = readNumber(text, i);
            if (!number)
                return std::nullopt;
            tokens.push_back(*number);
        } else if (isLetter(c)) {
            qsizetype k = i;
            while (k < text.size() && (isLetter(text[k].unicode()) || isDigit(text[k].unicode()) ||
                                       text[k] == u'-' || text[k] == u'_'))
                ++k;
            tokens.push_back({Token::Ident, 0, asciiLower(text.mid(i, k - i))});
            i = k;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

/// A function's arguments split into its values and its alpha part.
struct Arguments {
    std::vector<Token> values;
    bool legacy = false; ///< written with commas
};

/// Splits tokens into count values and an optional alpha: either all
/// separated by commas (when commas are allowed; no "none" then), or by
/// blanks with "/ alpha" at the end. The alpha must be a number, a
/// percentage or (blank syntax) none.
std::optional<Arguments> split(const std::vector<Token>& tokens, size_t count, bool commas,
                               bool blanks = true, bool alphaAllowed = true) {
    Arguments args;
    std::vector<Token> alpha;
    const bool withCommas = std::any_of(tokens.begin(), tokens.end(),
                                        [](const Token& t) { return t.kind == Token::Comma; });
    if (withCommas) {
        if (!commas)
            return std::nullopt;
        args.legacy = true;
        for (size_t i = 0; i < tokens.size(); ++i) {
            const bool separator = i % 2 == 1;
            if ((tokens[i].kind == Token::Comma) != separator)
                return std::nullopt;
            if (tokens[i].kind == Token::Slash ||
                (tokens[i].kind == Token::Ident && tokens[i].ident == u"none"))
                return std::nullopt;
            if (!separator)
                (args.values.size() < count ? args.values : alpha).push_back(tokens[i]);
        }
        if (tokens.empty() || tokens.back().kind == Token::Comma)
            return std::nullopt;
    } else {
        if (!blanks)
            return std::nullopt;
        size_t i = 0;
        for (; i < tokens.size() && tokens[i].kind != Token::Slash; ++i)
            args.values.push_back(tokens[i]);
        if (i < tokens.size()) {
            if (i + 2 != tokens.size())
                return std::nullopt;
            alpha.push_back(tokens[i + 1]);
        }
    }
    if (args.values.size() != count || alpha.size() > (alphaAllowed ? 1u : 0u))
        return std::nullopt;
    for (const Token& a : alpha) {
        const bool none = a.kind == Token::Ident && a.ident == u"none" && !args.legacy;
        if (a.kind != Token::Number && a.kind != Token::Percent && !none)
            return std::nullopt;
    }
    return args;
}

bool isNone(const Token& t) {
    return t.kind == Token::Ident && t.ident == u"none";
}

/// A part that is a number or a percentage (or none, as 0): its value, a
/// percentage scaled so that 100 % is hundred.
std::optional<double> part(const Token& t, double hundred, bool numbers = true,
                           bool percentages = true) {
    if (isNone(t))
        return 0.0;
    if (t.kind == Token::Number && numbers)
        return t.value;
    if (t.kind == Token::Percent && percentages)
        return t.value / 100 * hundred;
    return std::nullopt;
}

/// A hue: a number (degrees) or an angle (or none, as 0); nothing for an
/// infinite one.
std::optional<double> hue(const Token& t) {
    if (isNone(t))
        return 0.0;
    if ((t.kind != Token::Number && t.kind != Token::Angle) || !std::isfinite(t.value))
        return std::nullopt;
    return std::fmod(t.value, 360.0);
}

double clamp(double v, double low, double high) {
    return std::isnan(v) ? low : std::clamp(v, low, high);
}

/// Three parts at once, all given.
template <typename F> std::optional<Vec3> parts(const Arguments& args, F read) {
    Vec3 v{};
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> p = read(i, args.values[size_t(i)]);
        if (!p)
            return std::nullopt;
        v[size_t(i)] = *p;
    }
    return v;
}

std::optional<PackedColor> readRgb(const std::vector<Token>& tokens) {
    const std::optional<Arguments> args = split(tokens, 3, true);
    if (!args)
        return std::nullopt;
    if (args->legacy) {
        // The comma syntax takes three numbers or three percentages.
        const Token::Kind kind = args->values[0].kind;
        for (const Token& t : args->values) {
            if (t.kind != kind)
                return std::nullopt;
        }
    }
    const std::optional<Vec3> rgb = parts(*args, [](int, const Token& t) { return part(t, 255); });
    if (!rgb)
        return std::nullopt;
    const auto byte = [](double v) { return int(std::floor(clamp(v, 0, 255) + 0.5)); };
    return packColor(byte((*rgb)[0]), byte((*rgb)[1]), byte((*rgb)[2]));
}

/// hsl(), hsv() and hwb(): a hue and two parts in percent (a number is the
/// same percentage), each limited to 0..100 %.
std::optional<Vec3> readCylinder(const std::vector<Token>& tokens, bool commas,
                                 bool legacyNumbers) {
    const std::optional<Arguments> args = split(tokens, 3, commas);
    if (!args)
        return std::nullopt;
    const bool numbers = !args->legacy || legacyNumbers;
    return parts(*args, [numbers](int i, const Token& t) -> std::optional<double> {
        if (i == 0)
            return hue(t);
        const std::optional<double> p = part(t, 100, numbers);
        if (!p)
            return std::nullopt;
        return clamp(*p, 0, 100) / 100;
    });
}

std::optional<PackedColor> readLabLike(const std::vector<Token>& tokens, bool ok, bool polar) {
    const std::optional<Arguments> args = split(tokens, 3, false);
    if (!args)
        return std::nullopt;
    // What 100 % is: L, then a and b, or chroma.
    const double lHundred = ok ? 1 : 100;
    const double abHundred = ok ? 0.4 : (polar ? 150 : 125);
    const std::optional<Vec3> v = parts(*args, [&](int i, const Token& t) -> std::optional<double> {
        if (i == 0) {
            const std::optional<double> l = part(t, lHundred);
            return l ? std::optional<double>(clamp(*l, 0, lHundred)) : std::nullopt;
        }
        if (i == 2 && polar)
            return hue(t);
        const std::optional<double> p = part(t, abHundred);
        if (p && polar)
            return std::max(*p, 0.0);
        return p;
    });
    if (!v)
        return std::nullopt;
    using notation::DecimalForm;
    return notation::colorOfValues(ok ? (polar ? DecimalForm::Oklch : DecimalForm::Oklab)
                                      : (polar ? DecimalForm::Lch : DecimalForm::Lab),
                                   *v);
}

std::optional<PackedColor> readColorFunction(const std::vector<Token>& tokens) {
    if (tokens.empty() || tokens[0].kind != Token::Ident)
        return std::nullopt;
    const QString space = tokens[0].ident;
    const std::optional<Arguments> args =
        split(std::vector<Token>(tokens.begin() + 1, tokens.end()), 3, false);
    if (!args)
        return std::nullopt;
    const std::optional<Vec3> v = parts(*args, [](int, const Token& t) { return part(t, 1); });
    if (!v)
        return std::nullopt;
    if (space == u"srgb")
        return colorspace::colorFromSrgb(*v);
    if (space == u"srgb-linear")
        return colorspace::colorFromLinearSrgb(*v);
    if (space == u"xyz" || space == u"xyz-d65")
        return notation::colorOfValues(notation::DecimalForm::Xyz, *v);
    if (space == u"xyz-d50")
        return colorspace::colorFromXyzD50(*v);
    return std::nullopt;
}

std::optional<PackedColor> readCmyk(const std::vector<Token>& tokens) {
    const std::optional<Arguments> args = split(tokens, 4, true);
    if (!args)
        return std::nullopt;
    double ink[4];
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> p = part(args->values[size_t(i)], 1);
        if (!p)
            return std::nullopt;
        ink[i] = clamp(*p, 0, 1);
    }
    const double k = 1 - ink[3];
    return colorspace::packSrgb({(1 - ink[0]) * k, (1 - ink[1]) * k, (1 - ink[2]) * k});
}

/// QColor(r, g, b[, a]): numbers 0..255; vec3(r, g, b), vec4(r, g, b, a):
/// fractions 0..1. Their own comma syntax only.
std::optional<PackedColor> readProgramTuple(const std::vector<Token>& tokens, size_t count,
                                            bool alphaMayFollow, double unit) {
    std::optional<Arguments> args = split(tokens, count, true, false, false);
    if (!args && alphaMayFollow)
        args = split(tokens, count + 1, true, false, false);
    if (!args)
        return std::nullopt;
    for (const Token& t : args->values) {
        if (t.kind != Token::Number)
            return std::nullopt;
    }
    const std::optional<Vec3> v =
        parts(*args, [unit](int, const Token& t) { return std::optional<double>(t.value / unit); });
    return colorspace::packSrgb(*v);
}

std::optional<PackedColor> readFunction(const QString& name, QStringView inside) {
    const std::optional<std::vector<Token>> tokens = tokenize(inside);
    if (!tokens)
        return std::nullopt;
    if (name == u"rgb" || name == u"rgba")
        return readRgb(*tokens);
    if (name == u"hsl" || name == u"hsla" || name == u"hsv" || name == u"hwb") {
        const bool hwb = name == u"hwb", hsv = name == u"hsv";
        const std::optional<Vec3> v = readCylinder(*tokens, !hwb, hsv);
        if (!v)
            return std::nullopt;
        const auto [h, a, b] = *v;
        return colorspace::packSrgb(hwb   ? colorspace::srgbFromHwb(h, a, b)
                                    : hsv ? colorspace::srgbFromHsv(h, a, b)
                                          : colorspace::srgbFromHsl(h, a, b));
    }
    if (name == u"lab")
        return readLabLike(*tokens, false, false);
    if (name == u"lch")
        return readLabLike(*tokens, false, true);
    if (name == u"oklab")
        return readLabLike(*tokens, true, false);
    if (name == u"oklch")
        return readLabLike(*tokens, true, true);
    if (name == u"color")
        return readColorFunction(*tokens);
    if (name == u"cmyk" || name == u"device-cmyk")
        return readCmyk(*tokens);
    if (name == u"qcolor")
        return readProgramTuple(*tokens, 3, true, 255);
    if (name == u"vec3")
        return readProgramTuple(*tokens, 3, false, 1);
    if (name == u"vec4")
        return readProgramTuple(*tokens, 4, false, 1);
    return std::nullopt;
}

/// "#rgb", "#rgba", "#rrggbb", "#rrggbbaa" (the text after "#").
std::optional<PackedColor> readHex(QStringView digits) {
    const qsizetype n = digits.size();
    if (n != 3 && n != 4 && n != 6 && n != 8)
        return std::nullopt;
    int v[8];
    for (qsizetype i = 0; i < n; ++i) {
        v[i] = hexValue(digits[i].unicode());
        if (v[i] < 0)
            return std::nullopt;
    }
    if (n <= 4)
        return packColor(v[0] * 17, v[1] * 17, v[2] * 17);
    return packColor(v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]);
}

/// "255,128,0": three whole numbers 0..255, blanks allowed around each.
std::optional<PackedColor> readDec(QStringView text) {
    int v[3];
    int field = 0;
    qsizetype i = 0;
    for (; field < 3; ++field) {
        while (i < text.size() && isBlank(text[i].unicode()))
            ++i;
        qsizetype digits = 0;
        int value = 0;
        while (i < text.size() && isDigit(text[i].unicode()) && digits < 10) {
            value = std::min(value * 10 + (text[i].unicode() - u'0'), 1000);
            ++i, ++digits;
        }
        if (digits == 0 || value > 255)
            return std::nullopt;
        v[field] = value;
        while (i < text.size() && isBlank(text[i].unicode()))
            ++i;
        if (field < 2) {
            if (i >= text.size() || text[i] != u',')
                return std::nullopt;
            ++i;
        }
    }
    if (i != text.size())
        return std::nullopt;
    return packColor(v[0], v[1], v[2]);
}

} // namespace

std::optional<PackedColor> readColor(QStringView text) {
    if (text.size() > MaxColorTextLength)
        return std::nullopt;
    text = trimmed(text);
    if (text.isEmpty())
        return std::nullopt;
    if (text[0] == u'#')
        return readHex(text.mid(1));
    if (text.size() == 8 && text[0] == u'0' && lower(text[1].unicode()) == u'x')
        return readHex(text.mid(2));
    if (isLetter(text[0].unicode())) {
        const qsizetype open = text.indexOf(u'(');
        if (open < 0)
            return cssnames::find(text);
        if (text.back() != u')')
            return std::nullopt;
        const QString name = asciiLower(text.left(open));
        for (QChar c : name) {
            if (!isLetter(c.unicode()) && !isDigit(c.unicode()) && c != u'-')
                return std::nullopt;
        }
        return readFunction(name, text.mid(open + 1, text.size() - open - 2));
    }
    return readDec(text);
}

} // namespace colortext
