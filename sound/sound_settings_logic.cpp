// SPDX-License-Identifier: MIT
#include "sound_settings_logic.h"

#include "files/cp932.h"
#include "files/file_io.h"
#include "files/read_number.h"

#include <cmath>

namespace qz {

namespace {
const QString kNameField = QStringLiteral("音源名");
const QString kPathField = QStringLiteral("音源ファイル名");
} // namespace

int roundHalfEven(double v) {
    const double down = std::floor(v);
    const double rest = v - down;
    if (rest > 0.5) return int(down) + 1;
    if (rest < 0.5) return int(down);
    return std::fmod(down, 2.0) == 0.0 ? int(down) : int(down) + 1;
}

QString soundRowLabel(int row) {
    return QString::number(row) + u' ';
}

QStringList soundRowCells(const SoundSource& s) {
    return {valueText(s.sourceNo), s.name(), filePart(s.path())};
}

QString unstorableTextProblem(const QString& text, const QString& what) {
    if (text.contains(u'"')) return QStringLiteral("%1に「\"」は使えません！").arg(what);
    if (cp932CanHold(text)) return {};
    // Name the characters, so the user knows what to change.
    QString bad;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!cp932CanHold(ch) && !bad.contains(ch)) bad += ch;
        i += len;
    }
    return QStringLiteral("%1に保存できない文字「%2」が含まれています！").arg(what, bad);
}

PendingSoundEntry::NumberResult PendingSoundEntry::enterNumber(const QString& boxText) {
    if (boxText.isEmpty()) return NumberResult::Empty;
    const double v = readLeadingNumber(boxText);
    if (v < 1 || v > 10) return NumberResult::OutOfRange;
    m_no = v;
    return NumberResult::Accepted;
}

QString PendingSoundEntry::numberText() const {
    return formatNumber(m_no);
}

PendingSoundEntry::NameResult PendingSoundEntry::enterName(const QString& boxText) {
    m_nameProblem.clear();
    if (boxText.isEmpty()) return NameResult::Empty;
    m_nameProblem = unstorableTextProblem(boxText, kNameField);
    if (!m_nameProblem.isEmpty()) return NameResult::Refused;
    m_name = boxText;
    return NameResult::Accepted;
}

QString PendingSoundEntry::saveProblem() const {
    if (!hasNumber()) return ongen_text::kEnterNumber;
    const QString p = unstorableTextProblem(m_name, kNameField);
    return !p.isEmpty() ? p : unstorableTextProblem(m_wavePath, kPathField);
}

std::optional<SoundSource> PendingSoundEntry::storeInto(SoundTable& table) const {
    const int k = entryNumber();
    if (k < 1 || k > int(table.size()) || !saveProblem().isEmpty()) return std::nullopt;
    SoundSource& entry = table[k - 1];
    const SoundSource before = entry;
    entry.sourceName = m_name;
    entry.wavePath = m_wavePath;
    return before;
}

} // namespace qz
