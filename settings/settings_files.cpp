// SPDX-License-Identifier: MIT
#include "settings_files.h"

#include "files/cp932.h"
#include "files/file_io.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace qz {

SoundTable defaultSoundTable(const QString& programFolder) {
    struct Default {
        const char16_t* name;
        const char16_t* file; // empty: beep only
    };
    static const Default defaults[10] = {
        {u"RING1", u"RING1.WAV"},
        {u"RING2", u"RING2.WAV"},
        {u"時間", u"時間ですよ.WAV"},
        {u"ﾍﾞﾙ", u"ﾍﾞﾙ.WAV"},
        {u"ｻｲﾚﾝ", u"ｻｲﾚﾝ.WAV"},
        {u"鐘", u"鐘.WAV"},
        {u"宇宙", u"宇宙.WAV"},
        {u"汽笛", u"汽笛.WAV"},
        {u"BP", u""},
        {u"BP", u""},
    };
    SoundTable t;
    for (int i = 0; i < 10; ++i) {
        t[i].sourceNo = double(i + 1);
        t[i].sourceName = QString::fromUtf16(defaults[i].name);
        const QString file = QString::fromUtf16(defaults[i].file);
        // Full paths, as existing files have them, wherever the folder's name can be stored.
        t[i].wavePath = file.isEmpty() || programFolder.isEmpty()
                            ? file
                            : storableWavePath(joinPath(programFolder, file), programFolder);
    }
    return t;
}

QString resolveWavePath(const QString& programFolder, const QString& stored) {
    if (stored.isEmpty() || stored.contains(u'\\') || stored.contains(u'/')) return stored;
    return joinPath(programFolder, stored);
}

QString storableWavePath(const QString& chosen, const QString& programFolder) {
    auto writable = [](const QString& s) { return !s.contains(u'"') && cp932CanHold(s); };
    if (chosen.isEmpty() || writable(chosen)) return chosen;
    const QFileInfo file(chosen);
    if (QDir::cleanPath(file.absolutePath()) == QDir::cleanPath(programFolder) &&
        writable(file.fileName()))
        return file.fileName();
    return chosen; // refused, with the reason, when it is saved
}

QByteArray spansBytes(const Spans& s) {
    RecordWriter w;
    w.number(s.alarmRingSeconds)
        .number(s.countdownRingSeconds)
        .number(s.spareSpan3)
        .number(s.spareSpan4)
        .endRecord();
    return w.bytes();
}

std::optional<Spans> parseSpans(const QByteArray& bytes) {
    FieldReader r(bytes);
    int values[4];
    for (int i = 0; i < 4; ++i) {
        const auto field = r.next();
        if (!field) return std::nullopt;
        const auto* d = std::get_if<double>(&*field);
        if (!d || !std::isfinite(*d) || std::fabs(*d) > 1e9) return std::nullopt;
        // A ring shorter than a second stops as it starts: the alarm would be silently lost.
        if (i < 2 && *d < 1) return std::nullopt;
        values[i] = int(std::lround(*d));
    }
    return Spans{values[0], values[1], values[2], values[3]};
}

std::optional<QByteArray> soundTableBytes(const SoundTable& t, QString* error) {
    RecordWriter w;
    for (const SoundSource& s : t) {
        w.value(s.sourceNo, s.asRead[0])
            .value(s.sourceName, s.asRead[1])
            .value(s.wavePath, s.asRead[2])
            .endRecord();
        if (!w.ok()) {
            if (error) *error = w.error();
            return std::nullopt;
        }
    }
    return w.bytes();
}

SoundTableRead parseSoundTable(const QByteArray& bytes, SoundTable& into) {
    SoundTableRead result;
    FieldReader r(bytes);
    for (int i = 0; i < 10; ++i) {
        SoundSource& s = into[i];
        RecordValue* fields[3] = {&s.sourceNo, &s.sourceName, &s.wavePath};
        const QString place = QStringLiteral("音源 %1 の記録").arg(i + 1);
        for (int f = 0; f < 3; ++f) {
            auto field = r.nextField();
            if (!field) {
                result.problem = readProblemText(
                    i == 0 && f == 0 ? ReadProblem::Empty : ReadProblem::CutShort, place);
                return result;
            }
            // The name and the path carry what they hold, as read; the number is no number.
            if (!isReadableField(*field, f > 0)) {
                result.problem = readProblemText(ReadProblem::Unreadable, place);
                return result;
            }
            *fields[f] = field->value;
            if (field->tooLong && !result.tooLongEntries.contains(i + 1))
                result.tooLongEntries.append(i + 1);
            s.asRead[size_t(f)] = std::move(*field);
        }
        result.entries = i + 1;
    }
    return result;
}

} // namespace qz
