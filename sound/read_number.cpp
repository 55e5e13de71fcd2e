#include "read_number.h"

namespace qz {

double readLeadingNumber(const QString& text) {
    QString digits;
    bool signSeen = false, pointSeen = false;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x3000))
            continue;
        if ((c == u'-' || c == u'+') && !signSeen && digits.isEmpty()) {
            signSeen = true;
            digits += c;
        } else if (c == u'.' && !pointSeen) {
            pointSeen = true;
            signSeen = true;
            digits += c;
        } else if (c >= u'0' && c <= u'9') {
            signSeen = true;
            digits += c;
        } else {
            break;
        }
    }
    bool ok = false;
    const double v = digits.toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace qz
