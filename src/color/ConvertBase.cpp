#include "color/ConvertBase.h"

#include <cstdint>
#include <limits>

QString ConvertBase(const QString& text, int fromBase, int toBase) {
    if (text.isEmpty() || fromBase < 2 || fromBase > 36 || toBase < 2 || toBase > 36)
        return convertError();

    constexpr std::uint64_t limit = std::numeric_limits<std::int64_t>::max();
    std::uint64_t sum = 0;
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        if (c >= u'a' && c <= u'z')
            c = c - u'a' + u'A';
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'Z')
            digit = c - u'A' + 10;
        else
            return convertError();
        if (digit >= fromBase)
            return convertError();
        // sum * fromBase + digit > limit, without overflowing
        if (sum > (limit - std::uint64_t(digit)) / std::uint64_t(fromBase))
            return convertError();
        sum = sum * std::uint64_t(fromBase) + std::uint64_t(digit);
    }

    QString out;
    while (sum > 0) {
        const int r = int(sum % std::uint64_t(toBase));
        out.prepend(QLatin1Char(r < 10 ? char('0' + r) : char('A' + r - 10)));
        sum /= std::uint64_t(toBase);
    }
    return out;
}
