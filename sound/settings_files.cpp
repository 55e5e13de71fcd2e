#include "settings_files.h"

#include "file_io.h"

#include <cmath>

namespace qz {

SoundTable defaultSoundTable(const QString& folder) {
    struct Default {
        const char16_t* name;
        const char16_t* file; // empty: beep only
    };
    static const Default defaults[10] = {
        {u"RING1", u"RING1.WAV"}, {u"RING2", u"RING2.WAV"}, {u"時間", u"時間ですよ.WAV"},
        {u"ﾍﾞﾙ", u"ﾍﾞﾙ.WAV"},     {u"ｻｲﾚﾝ", u"ｻｲﾚﾝ.WAV"},   {u"鐘", u"鐘.WAV"},
        {u"宇宙", u"宇宙.WAV"},   {u"汽笛", u"汽笛.WAV"},   {u"BP", u""},
        {u"BP", u""},
    };
    SoundTable t;
    for (int i = 0; i < 10; ++i) {
        const QString file = QString::fromUtf16(defaults[i].file);
        t[i].sourceNo = double(i + 1);
        t[i].sourceName = QString::fromUtf16(defaults[i].name);
        t[i].wavePath = file.isEmpty() ? QString() : joinPath(folder, file);
    }
    return t;
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
    for (int& v : values) {
        const auto field = r.next();
        if (!field)
            return std::nullopt;
        const auto* d = std::get_if<double>(&*field);
        if (!d || !std::isfinite(*d) || std::fabs(*d) > 1e9)
            return std::nullopt;
        v = int(std::lround(*d));
    }
    return Spans{values[0], values[1], values[2], values[3]};
}

std::optional<QByteArray> soundTableBytes(const SoundTable& t, QString* error) {
    RecordWriter w;
    for (const SoundSource& s : t) {
        w.value(s.sourceNo).value(s.sourceName).value(s.wavePath).endRecord();
        if (!w.ok()) {
            if (error)
                *error = w.error();
            return std::nullopt;
        }
    }
    return w.bytes();
}

int parseSoundTable(const QByteArray& bytes, SoundTable& into) {
    FieldReader r(bytes);
    for (int i = 0; i < 10; ++i) {
        RecordValue* fields[3] = {&into[i].sourceNo, &into[i].sourceName, &into[i].wavePath};
        for (RecordValue* f : fields) {
            auto v = r.next();
            if (!v)
                return i;
            *f = *v;
        }
    }
    return 10;
}

} // namespace qz
