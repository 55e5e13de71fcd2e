// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_files.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace qz {

// Texts of the sound settings window.
namespace ongen_text {
inline const QString kTitle = QStringLiteral("音源設定");
inline const QString kNumberRange = QStringLiteral("ＮＯは、１～１０の間です！");
inline const QString kEnterNumber = QStringLiteral("ＮＯを入力してください！");
inline const QString kNoSound = QStringLiteral("音源なし  BEEP音のみ");
inline const QString kWaveFilter = QStringLiteral("音源ﾌｧｲﾙ(*.WAV)|*.WAV");
} // namespace ongen_text

// The nearest whole number, a half going to the even neighbour: 1.5 -> 2, 2.5 -> 2, 9.5 -> 10.
int roundHalfEven(double v);

// Column 0 of the list: the row number followed by one blank.
QString soundRowLabel(int row);
// Columns 1 to 3 of the list for one entry: number, name, file part of the path.
QStringList soundRowCells(const SoundSource& s);

// Why a text cannot be stored as a name or path in the settings file (a double quote, or a
// character outside code page 932); empty when it can. `what` names the field in the message.
QString unstorableTextProblem(const QString& text, const QString& what);

// The entry the sound settings window is about to write: the three pending values and the
// rules for changing them. A new one is empty, as after Reset, matching the empty labels of a
// freshly opened window.
class PendingSoundEntry {
  public:
    enum class NumberResult {
        Empty,      // nothing typed: the number stays as it was
        OutOfRange, // refused, nothing changes
        Accepted,
    };
    enum class NameResult {
        Empty,   // nothing typed: the name stays as it was
        Refused, // the settings file could not hold it; nameProblem() says why
        Accepted,
    };

    // 0: no entry chosen.
    double editNo() const { return m_no; }
    QString editName() const { return m_name; }
    // Empty: the entry beeps.
    QString editWavePath() const { return m_wavePath; }
    bool hasNumber() const { return m_no != 0; }

    // Enter in the number box: readLeadingNumber of the text, refused outside 1 to 10.
    NumberResult enterNumber(const QString& boxText);
    // The number as the label shows it (a fraction as typed: 9.5).
    QString numberText() const;
    // Delete as the first key in the number box.
    void clearNumber() { m_no = 0; }

    NameResult enterName(const QString& boxText);
    QString nameProblem() const { return m_nameProblem; }
    // Delete as the first key in the name box.
    void clearName() { m_name.clear(); }

    void chooseWave(const QString& fullPath) { m_wavePath = fullPath; }
    void chooseNoSound() { m_wavePath.clear(); }

    // Reset: no entry, empty name and path.
    void reset() { *this = PendingSoundEntry(); }

    // The entry Save writes to: editNo rounded half to even; 0 when none is chosen.
    int entryNumber() const { return hasNumber() ? roundHalfEven(m_no) : 0; }
    // Why Save must refuse (no number, or a value the file cannot hold); empty when it may go.
    QString saveProblem() const;
    // Stores name and path into the chosen entry (its number is kept) and returns the entry as
    // it was, so a failed write can put it back. Nothing is stored (nothing returned) while
    // saveProblem() is not empty.
    std::optional<SoundSource> storeInto(SoundTable& table) const;

  private:
    double m_no = 0;
    QString m_name;
    QString m_wavePath;
    QString m_nameProblem;
};

} // namespace qz
