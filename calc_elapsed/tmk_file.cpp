// SPDX-License-Identifier: MIT
#include "tmk_file.h"

#include "files/cp932.h"

#include <algorithm>
#include <cmath>

namespace qz {

namespace {

void writeText(RecordWriter& w, const std::optional<QString>& text) {
    if (text)
        w.text(*text);
    else
        w.unset();
}

QString textProblem(const QString& what, const QString& text) {
    if (text.contains(QLatin1Char('"')))
        return QStringLiteral("%1に「\"」（二重引用符）は使えません。").arg(what);
    // Character by character, so the message can show which one.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!cp932CanHold(ch))
            return QStringLiteral("%1の「%2」はファイルに保存できない文字です。").arg(what, ch);
        i += len - 1;
    }
    return {};
}

// Where the field at `index` (in file order) stands, for messages: "先頭の記録のタイトル",
// "2 行目の経過時間".
QString fieldPlace(int index) {
    static const char16_t* const header[8] = {u"合計",     u"タイトル", u"日付",     u"予備の値",
                                              u"予備の値", u"予備の値", u"予備の値", u"予備の値"};
    static const char16_t* const row[4] = {u"開始時間", u"終了時間", u"経過時間", u"経過分"};
    if (index < 8) return QStringLiteral("先頭の記録の%1").arg(QString::fromUtf16(header[index]));
    return QStringLiteral("%1 行目の%2")
        .arg((index - 8) / 4 + 1)
        .arg(QString::fromUtf16(row[(index - 8) % 4]));
}

// The record the field at `index` belongs to: "先頭の記録", "2 行目のデータ".
QString recordPlace(int index) {
    if (index < 8) return QStringLiteral("先頭の記録");
    return QStringLiteral("%1 行目のデータ").arg((index - 8) / 4 + 1);
}

// Reading goes by value count: a file whose last line end was lost still holds its last
// (empty) value.
QByteArray withFinalLineEnd(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.endsWith('\n') || bytes.endsWith('\r')) return bytes;
    return bytes + "\r\n";
}

// Reads the values of a file in order, keeping each as read, and says where it stopped when
// something is wrong.
class ValueStream {
  public:
    ValueStream(const QByteArray& bytes, SheetFieldsAsRead& asRead)
        : m_reader(withFinalLineEnd(bytes)), m_asRead(asRead) {
        m_asRead.encoding = m_reader.encoding();
    }

    // A text may carry bytes that are no code page 932 text, kept as read; a time or a number
    // may not, nor be quoted in a message as the mojibake they would show.
    std::optional<RecordValue> next(bool textExpected = true) {
        std::optional<ReadField> f = m_reader.nextField();
        if (!f) {
            problem(ReadProblem::CutShort, recordPlace(m_count));
            return std::nullopt;
        }
        // Read on, the value would be lost without a word: the reader leaves it unset.
        if (f->tooLong) {
            problem(ReadProblem::TooLong, fieldPlace(m_count));
            return std::nullopt;
        }
        if (!isReadableField(*f, textExpected)) {
            problem(ReadProblem::Unreadable, fieldPlace(m_count));
            return std::nullopt;
        }
        const RecordValue v = f->value;
        m_asRead.fields[size_t(m_count++)] = std::move(f);
        return v;
    }
    // A value shown as text: never set stays unset; a bare number is shown as written.
    bool text(std::optional<QString>& out) {
        const std::optional<RecordValue> v = next();
        if (!v) return false;
        out = isUnset(*v) ? std::nullopt : std::optional<QString>(valueText(*v));
        return true;
    }
    // The sheet has its rows and no more: what follows them would be dropped by the next save.
    bool nothingFollows() {
        if (m_reader.atEnd()) return true;
        bool unreadable = false;
        while (const std::optional<ReadField> f = m_reader.nextField())
            unreadable = unreadable || !isReadableField(*f, false);
        const QString after = QStringLiteral("%1 行目").arg(kSheetRowCount);
        if (unreadable)
            problem(ReadProblem::Unreadable, after + QStringLiteral("の後"));
        else
            problem(ReadProblem::ExtraData, after);
        return false;
    }
    void problem(ReadProblem what, const QString& place) {
        fail(readProblemText(what, place) + u'。');
    }
    void fail(const QString& why) {
        if (m_error.isEmpty()) m_error = why;
    }
    QString error() const { return m_error; }

  private:
    FieldReader m_reader;
    SheetFieldsAsRead& m_asRead;
    int m_count = 0;
    QString m_error;
};

bool isTimeOfDay(const QString& t, bool endOfDayAllowed) {
    if (!isReadableTime(t)) return false;
    if (endOfDayAllowed && t == QLatin1String("24:00")) return true;
    return t.left(2).toInt() <= 23 && t.mid(3, 2).toInt() <= 59;
}

// A start or an end: never set, the empty text (a deleted row) or a time of day.
bool readTime(ValueStream& in, int row, const QString& what, bool endOfDayAllowed,
              std::optional<QString>& out) {
    const std::optional<RecordValue> v = in.next(false);
    if (!v) return false;
    if (isUnset(*v)) {
        out.reset();
        return true;
    }
    const QString* t = std::get_if<QString>(&*v);
    if (!t || (!t->isEmpty() && !isTimeOfDay(*t, endOfDayAllowed))) {
        in.fail(QStringLiteral("%1 行目の%2「%3」は時刻ではありません。")
                    .arg(row)
                    .arg(what, quotedForMessage(valueText(*v))));
        return false;
    }
    out = *t;
    return true;
}

bool readMinutes(ValueStream& in, int row, std::optional<int>& out) {
    const std::optional<RecordValue> v = in.next(false);
    if (!v) return false;
    if (isUnset(*v)) {
        out.reset();
        return true;
    }
    const double* d = std::get_if<double>(&*v);
    if (!d || *d != std::floor(*d) || *d < 0 || *d > 1440) {
        in.fail(QStringLiteral("%1 行目の経過分「%2」は 0 から 1440 までの整数ではありません。")
                    .arg(row)
                    .arg(quotedForMessage(valueText(*v))));
        return false;
    }
    out = int(*d);
    return true;
}

std::optional<QString> textOf(const RecordValue& v) {
    return isUnset(v) ? std::nullopt : std::optional<QString>(valueText(v));
}

std::optional<int> minutesOf(const RecordValue& v) {
    const double* d = std::get_if<double>(&v);
    return d ? std::optional<int>(int(*d)) : std::nullopt;
}

// Whether a text goes to the file as the bytes it was read from: it still shows what was read.
bool textKeptAsRead(const std::optional<ReadField>& f, const std::optional<QString>& text) {
    return f && f->raw && textOf(f->value) == text;
}

// The total and the reserved values cannot be edited in the window. Read from a file in UTF-8,
// one that code page 932 cannot hold goes back as the UTF-8 bytes it was read from (*foreign is
// then set): re-encoded it would make every save fail, dropped it would be lost.
std::optional<ReadField> uneditableAsRead(const SheetFieldsAsRead& asRead, size_t index,
                                          bool* foreign) {
    *foreign = false;
    const std::optional<ReadField>& f = asRead.fields[index];
    if (!f || f->raw || asRead.encoding != TextEncoding::Utf8) return f;
    const QString* text = std::get_if<QString>(&f->value);
    // A replacement character stands for bytes that were no UTF-8: they are not known.
    if (!text || text->contains(u'"') || text->contains(QChar::ReplacementCharacter) ||
        cp932CanHold(*text))
        return f;
    ReadField kept = *f;
    kept.raw = '"' + text->toUtf8() + '"';
    *foreign = true;
    return kept;
}

// What becomes of such UTF-8 bytes: kept, left out (to see what the rest of the file holds),
// or encoded like every other text.
enum class ForeignBytes { Keep, Omit, Encode };

TmkBytes sheetBytes(const ElapsedSheet& sheet, ForeignBytes foreignBytes, bool* anyForeign) {
    RecordWriter w;
    size_t index = 0;
    *anyForeign = false;
    // A value as read, or the way the file is written anew.
    auto keptOr = [&](const std::optional<ReadField>& f, bool kept, auto writeAnew) {
        if (kept)
            w.value(f->value, f);
        else
            writeAnew();
    };
    auto uneditable = [&](bool kept, std::optional<ReadField>& f, bool foreign) {
        if (!foreign || !kept) return;
        *anyForeign = true;
        if (foreignBytes == ForeignBytes::Omit) f = ReadField{f->value, QByteArray(), false, {}};
        if (foreignBytes == ForeignBytes::Encode) f = sheet.asRead.fields[index];
    };
    auto text = [&](const std::optional<QString>& t) {
        std::optional<ReadField> f = sheet.asRead.fields[index];
        if (index == 0) {
            bool foreign = false;
            f = uneditableAsRead(sheet.asRead, index, &foreign);
            uneditable(textKeptAsRead(f, t), f, foreign);
            // Bytes that open the file like a byte order mark would have it read as UTF-8; the
            // reader skips a blank in front of them.
            if (textKeptAsRead(f, t) && f->raw->startsWith("\xEF\xBB\xBF")) f->raw->prepend(' ');
        }
        keptOr(f, textKeptAsRead(f, t), [&] { writeText(w, t); });
        ++index;
    };
    text(sheet.totalText);
    text(sheet.sheetTitle);
    text(sheet.sheetDate);
    for (const RecordValue& v : sheet.reservedValues) {
        bool foreign = false;
        std::optional<ReadField> f = uneditableAsRead(sheet.asRead, index, &foreign);
        uneditable(f && f->raw && f->value == v, f, foreign);
        w.value(v, f);
        ++index;
    }
    w.endRecord();
    for (const SheetRow& r : sheet.rows) {
        text(r.startText);
        text(r.endText);
        text(r.elapsedText);
        const std::optional<ReadField>& f = sheet.asRead.fields[index++];
        keptOr(f, f && f->raw && minutesOf(f->value) == r.elapsedMinutes, [&] {
            if (r.elapsedMinutes)
                w.number(*r.elapsedMinutes);
            else
                w.unset();
        });
        w.endRecord();
    }
    if (!w.ok()) return {std::nullopt, w.error()};
    return {w.bytes(), {}};
}

bool isAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

} // namespace

QString sheetTextProblem(const QString& title, const QString& date) {
    QString problem = textProblem(QStringLiteral("タイトル"), title);
    if (problem.isEmpty()) problem = textProblem(QStringLiteral("日付"), date);
    if (problem.isEmpty()) return {};
    return problem + QStringLiteral("\r\n直してから保存して下さい。");
}

QString sheetTextProblem(const ElapsedSheet& sheet, bool* inTitle) {
    const auto& fields = sheet.asRead.fields;
    const QString title = textKeptAsRead(fields[1], sheet.sheetTitle)
                              ? QString()
                              : sheet.sheetTitle.value_or(QString());
    const QString date = textKeptAsRead(fields[2], sheet.sheetDate)
                             ? QString()
                             : sheet.sheetDate.value_or(QString());
    if (inTitle) *inTitle = !sheetTextProblem(title, QString()).isEmpty();
    return sheetTextProblem(title, date);
}

TmkBytes tmkFileBytes(const ElapsedSheet& sheet) {
    bool foreign = false;
    TmkBytes out = sheetBytes(sheet, ForeignBytes::Keep, &foreign);
    // UTF-8 bytes amid code page 932 text are read back as they were only while the file is read
    // as code page 932, or holds no other text beyond ASCII; otherwise they are not kept, and the
    // save is refused naming the character.
    if (out.bytes && foreign && detectEncoding(*out.bytes) != TextEncoding::Cp932) {
        const TmkBytes without = sheetBytes(sheet, ForeignBytes::Omit, &foreign);
        if (!without.bytes || !isAscii(*without.bytes))
            out = sheetBytes(sheet, ForeignBytes::Encode, &foreign);
    }
    return out;
}

TmkParseResult parseTmkFile(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {std::nullopt, readProblemText(ReadProblem::Empty) + u'。'};
    if (bytes.size() > kTmkMaxBytes)
        return {std::nullopt, QStringLiteral("経過時間計算ﾌｧｲﾙとしては大きすぎます。")};
    ElapsedSheet sheet;
    ValueStream in(bytes, sheet.asRead);
    auto failed = [&] { return TmkParseResult{std::nullopt, in.error()}; };

    if (!in.text(sheet.totalText) || !in.text(sheet.sheetTitle) || !in.text(sheet.sheetDate))
        return failed();
    for (RecordValue& reserved : sheet.reservedValues) {
        const std::optional<RecordValue> v = in.next();
        if (!v) return failed();
        reserved = *v;
    }
    for (int r = 1; r <= kSheetRowCount; ++r) {
        SheetRow& row = sheet.row(r);
        if (!readTime(in, r, QStringLiteral("開始時間"), false, row.startText) ||
            !readTime(in, r, QStringLiteral("終了時間"), true, row.endText) ||
            !in.text(row.elapsedText) || !readMinutes(in, r, row.elapsedMinutes))
            return failed();
    }
    if (!in.nothingFollows()) return failed();
    return {sheet, {}};
}

QString withTmkExtension(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(cut + 1);
    if (name.endsWith(QLatin1Char('.'))) return path + QStringLiteral("TMK");
    if (name.contains(QLatin1Char('.'))) return path;
    return path + QStringLiteral(".TMK");
}

} // namespace qz
