// SPDX-License-Identifier: MIT
#pragma once

// Platform services that never block and record what they were asked, for the tests.

#include "audio/sound_player.h"
#include "ui/desktop_notifier.h"
#include "ui/dialogs.h"
#include "ui/platform.h"
#include "ui/printing/printing.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <optional>

namespace qz {

class RecordingCalculatorStarter final : public CalculatorStarter {
  public:
    bool start(const QString& programFolder) override {
        folders.append(programFolder);
        return succeed;
    }
    QStringList folders;
    bool succeed = true;
};

class RecordingHelpViewer final : public HelpViewer {
  public:
    void display(QWidget*) override { ++displays; }
    void closeAll() override { ++closeAlls; }
    int displays = 0;
    int closeAlls = 0;
};

class RecordingWindowControl final : public WindowControl {
  public:
    void restoreAndRaise(QWidget*) override { ++raises; }
    void minimize(QWidget*) override { ++minimizes; }
    int raises = 0;
    int minimizes = 0;
};

// Every player it creates writes its requests, in order, into one shared log as
// "wave:<path>" or "beep".
class RecordingSoundFactory final : public SoundPlayerFactory {
  public:
    std::unique_ptr<SoundPlayer> createPlayer() override;
    QStringList requests;
    int beeps() const { return requests.count(QStringLiteral("beep")); }
    int waves() const { return int(requests.size()) - beeps(); }
    void clear() { requests.clear(); }
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

class ScriptedFileDialogs final : public FileDialogs {
  public:
    struct Asked {
        QString initialFolder;
        QString filter;
        bool save;
    };
    std::optional<QString> openFile(QWidget*, const QString& folder,
                                    const QString& filter) override {
        return answer({folder, filter, false});
    }
    std::optional<QString> saveFile(QWidget*, const QString& folder,
                                    const QString& filter) override {
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

// Prints nothing: keeps every document it was given and answers as told.
class RecordingPrinter final : public Printer {
  public:
    PrintOutcome printOnDefault(const QString&, const PrintDocument& doc) override {
        if (!unavailable.isEmpty()) return {PrintOutcome::Status::Unavailable, unavailable};
        if (!hasDefaultPrinter) return {PrintOutcome::Status::NoPrinter, {}};
        printed.append(doc);
        return outcome;
    }
    PrintOutcome printToPdf(const QString& path, const QString&,
                            const PrintDocument& doc) override {
        pdfPaths.append(path);
        printed.append(doc);
        return outcome;
    }
    double pageHeightInCells(const PrintFont&) override { return pageHeight; }

    bool hasDefaultPrinter = true;
    QString unavailable; // not empty: no printing on printers at all, for this reason
    PrintOutcome outcome{PrintOutcome::Status::Printed, {}};
    double pageHeight = 60.0;
    QList<PrintDocument> printed;
    QStringList pdfPaths;
};

// Keeps every notification, open or withdrawn; a test picks "停止" with stop().
class RecordingNotifier final : public DesktopNotifier {
  public:
    struct Shown {
        QString title;
        QString text;
        std::function<void()> onStop;
        std::function<void()> onOpen;
        bool withdrawn = false;
    };
    quint32 notify(const QString& title, const QString& text, std::function<void()> onStop,
                   std::function<void()> onOpen) override {
        shown.append({title, text, std::move(onStop), std::move(onOpen)});
        return quint32(shown.size());
    }
    void withdraw(quint32 handle) override { shown[qsizetype(handle) - 1].withdrawn = true; }
    qsizetype open() const {
        return std::count_if(shown.begin(), shown.end(),
                             [](const Shown& s) { return !s.withdrawn; });
    }
    // Picks "停止" on notification i, as long as it is out.
    void stop(qsizetype i) const {
        if (shown[i].withdrawn) return;
        const std::function<void()> onStop = shown[i].onStop;
        onStop();
    }
    QList<Shown> shown;
};

} // namespace qz
