// SPDX-License-Identifier: MIT
#include "dialogs.h"

#include "look.h"

#include <QFileDialog>
#include <QMessageBox>

namespace qz {

void QtMessageBoxes::exclamation(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtMessageBoxes::confirm(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString qtNameFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(u'|');
    const QString description = bar < 0 ? filter : filter.left(bar);
    const QString patterns = bar < 0 ? QStringLiteral("*") : filter.mid(bar + 1);
    QStringList anyCase;
    for (const QString& p : patterns.split(u';', Qt::SkipEmptyParts)) {
        QString out;
        for (QChar c : p.trimmed()) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                out += u'[' + QString(c.toUpper()) + QString(c.toLower()) + u']';
            else
                out += c;
        }
        anyCase << out;
    }
    return description + QStringLiteral(" (") + anyCase.join(u' ') + u')';
}

static std::optional<QString> runDialog(QWidget* parent, const QString& folder,
                                        const QString& filter, bool save) {
    QFileDialog dialog(parent, QString(), folder);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(qtNameFilter(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Qt's own size cuts the size, type and date columns short.
    dialog.resize(twipsRect(0, 0, 11400, 7200).size());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

std::optional<QString> QtFileDialogs::openFile(QWidget* parent, const QString& folder,
                                               const QString& filter) {
    return runDialog(parent, folder, filter, false);
}

std::optional<QString> QtFileDialogs::saveFile(QWidget* parent, const QString& folder,
                                               const QString& filter) {
    return runDialog(parent, folder, filter, true);
}

} // namespace qz
