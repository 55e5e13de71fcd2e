#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace qz {

// Code page 932 through the library's codec. Encoding fails (nothing) for a text the code page
// cannot hold, instead of writing substitutes.
std::optional<QByteArray> encodeCp932(const QString& text);
QString decodeCp932(const QByteArray& bytes);
bool cp932CanHold(const QString& text);

} // namespace qz
