// SPDX-License-Identifier: MIT
#include "read_number.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace qz {

QString asciiForms(const QString& typed) {
    QString out = typed;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E) // the full-width forms of '!' to '~', in ASCII order
            c = QChar(char16_t(u - 0xFF01 + 0x21));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return out;
}

static bool isLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool hasLineBreak(const QString& text) {
    return std::any_of(text.begin(), text.end(), isLineBreak);
}

QStringList splitLines(const QString& text) {
    QStringList lines(1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i])) {
            lines.last() += text[i];
            continue;
        }
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        lines.append(QString());
    }
    return lines;
}

double readLeadingNumber(const QString& text) {
    std::string number;
    bool signSeen = false;
    bool digitSeen = false;
    bool pointSeen = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n') continue;
        if ((u == u'+' || u == u'-') && !signSeen && !digitSeen && !pointSeen) {
            signSeen = true;
            if (u == u'-') number += '-';
            continue;
        }
        if (u >= u'0' && u <= u'9') {
            digitSeen = true;
            number += char(u);
            continue;
        }
        if (u == u'.' && !pointSeen) {
            pointSeen = true;
            number += '.';
            continue;
        }
        break;
    }
    if (!digitSeen) return 0.0;
    // from_chars: independent of the C locale's decimal point.
    double v = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Hundreds of digits: the largest real is closer to what was typed than infinity.
        const bool tiny = number.find_first_of("123456789") == std::string::npos ||
                          number.find('.') < number.find_first_of("123456789");
        v = tiny ? 0.0 : std::numeric_limits<double>::max();
        if (number.front() == '-') v = -v;
    }
    return v == 0.0 ? 0.0 : v; // no "-0"
}

} // namespace qz
