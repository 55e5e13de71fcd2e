#pragma once

#include <QList>
#include <QString>
#include <optional>

class QWidget;

namespace qz {

// Modal message boxes. Every refused entry in the program is one of these: a Japanese text,
// a title, the exclamation icon and one OK button.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void exclamation(QWidget* parent, const QString& text, const QString& title) = 0;
    // Yes/No confirmation; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text, const QString& title) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void exclamation(QWidget* parent, const QString& text, const QString& title) override;
    bool confirm(QWidget* parent, const QString& text, const QString& title) override;
};

// Answers without blocking; remembers what was shown.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title;
    };
    void exclamation(QWidget*, const QString& text, const QString& title) override {
        shown.append({text, title});
    }
    bool confirm(QWidget*, const QString& text, const QString& title) override {
        shown.append({text, title});
        return confirmAnswers.isEmpty() ? true : confirmAnswers.takeFirst();
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    QList<Shown> shown;
    QList<bool> confirmAnswers;
};

// File dialogs. The filter is written as "description|pattern", e.g. "音源ﾌｧｲﾙ(*.WAV)|*.WAV";
// patterns match in any letter case. An empty optional is a cancel.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> openFile(QWidget* parent, const QString& initialFolder,
                                            const QString& filter) = 0;
    // Asks before overwriting an existing file.
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& initialFolder,
                                            const QString& filter) = 0;
};

class QtFileDialogs final : public FileDialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const QString& initialFolder,
                                    const QString& filter) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& initialFolder,
                                    const QString& filter) override;
};

// Turns "description|*.WAV" into a Qt name filter that also matches ".wav", ".Wav", ...
QString qtNameFilter(const QString& filter);

class ScriptedFileDialogs final : public FileDialogs {
public:
    struct Asked {
        QString initialFolder;
        QString filter;
        bool save;
    };
    std::optional<QString> openFile(QWidget*, const QString& folder, const QString& filter) override {
        return answer({folder, filter, false});
    }
    std::optional<QString> saveFile(QWidget*, const QString& folder, const QString& filter) override {
        return answer({folder, filter, true});
    }
    QList<Asked> asked;
    QList<std::optional<QString>> answers; // taken in order; none left means cancel

private:
    std::optional<QString> answer(const Asked& a) {
        asked.append(a);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

} // namespace qz
