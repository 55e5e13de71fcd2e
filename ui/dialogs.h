// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace qz {

// The titles of the exclamation boxes: the two calculators say "Check", the other windows
// "CHECK".
inline const QString kCalculatorCheckTitle = QStringLiteral("Check");
inline const QString kCheckTitle = QStringLiteral("CHECK");

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

// Sets up a file dialog of the program: its filter, its mode and size, its type column.
void prepareFileDialog(QFileDialog& dialog, const QString& filter, bool save);

// Turns "description|*.WAV" into a Qt name filter that also matches ".wav", ".Wav", ...
QString qtNameFilter(const QString& filter);

} // namespace qz
