// SPDX-License-Identifier: MIT
#include "dialogs.h"

#include "placement.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QHash>
#include <QHeaderView>
#include <QMessageBox>
#include <QPixmap>
#include <QStyle>
#include <QTreeView>

namespace qz {

namespace {

// A message box's icon, looked up once per process. Qt looks its standard icons up in the
// desktop's icon theme at every box, which costs most of the time a box takes to appear.
QPixmap standardPixmap(QStyle::StandardPixmap which, const QWidget* box) {
    static QHash<QPair<int, qreal>, QPixmap> cache;
    const qreal ratio = box->devicePixelRatioF();
    QPixmap& pixmap = cache[{int(which), ratio}];
    if (pixmap.isNull()) {
        const QStyle* style = box->style();
        const int size = style->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
        pixmap = style->standardIcon(which, nullptr, box).pixmap(QSize(size, size), ratio);
    }
    return pixmap;
}

} // namespace

void QtMessageBoxes::exclamation(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.setIconPixmap(standardPixmap(QStyle::SP_MessageBoxWarning, &box));
    box.exec();
}

bool QtMessageBoxes::confirm(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setIconPixmap(standardPixmap(QStyle::SP_MessageBoxQuestion, &box));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString qtNameFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(u'|');
    const QString description = bar < 0 ? filter : filter.left(bar);
    const QString patterns = bar < 0 ? QStringLiteral("*") : filter.mid(bar + 1);
#ifdef Q_OS_WIN
    // The system matches names without regard to case, and its own file dialog adds the first
    // pattern's extension to a name typed without one: the patterns go as they stand.
    constexpr bool spellOutCase = false;
#else
    constexpr bool spellOutCase = true;
#endif
    QStringList anyCase;
    for (const QString& p : patterns.split(u';', Qt::SkipEmptyParts)) {
        QString out;
        for (QChar c : p.trimmed()) {
            if (spellOutCase && c.isLetter() && c.toLower() != c.toUpper())
                out += u'[' + QString(c.toUpper()) + QString(c.toLower()) + u']';
            else
                out += c;
        }
        anyCase << out;
    }
    return description + QStringLiteral(" (") + anyCase.join(u' ') + u')';
}

namespace {

// The type column in the program's own words: Qt has no Japanese for its "Folder" and "%1 File".
class JapaneseFileTypes final : public QFileIconProvider {
  public:
    QString type(const QFileInfo& info) const override {
#ifdef Q_OS_WIN
        if (info.isRoot()) return QStringLiteral("ドライブ");
#endif
        if (info.isDir()) return QStringLiteral("ファイル フォルダー");
        if (info.suffix().isEmpty()) return QStringLiteral("ファイル");
        return info.suffix().toUpper() + QStringLiteral(" ファイル");
    }
};

} // namespace

void prepareFileDialog(QFileDialog& dialog, const QString& filter, bool save) {
    static JapaneseFileTypes fileTypes;
    dialog.setIconProvider(&fileTypes);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(qtNameFilter(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A name typed without an extension gets the type's, as Windows' own dialog gives it:
    // "SHOT" saved as a worksheet is SHOT.TIM, which the open dialog's filter then shows.
    const QString firstPattern = filter.section(u'|', 1).section(u';', 0, 0).trimmed();
    if (save && firstPattern.startsWith(QLatin1String("*.")) && firstPattern.count(u'*') == 1)
        dialog.setDefaultSuffix(firstPattern.mid(2));
    // Qt's own size cuts the size, type and date columns short, and even at this size its list
    // gives the names all the room: the other columns take what their texts need.
    dialog.resize(twipsRect(0, 0, 11400, 7200).size());
    if (auto* details = dialog.findChild<QTreeView*>()) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

static std::optional<QString> runDialog(QWidget* parent, const QString& folder,
                                        const QString& filter, bool save) {
    QFileDialog dialog(parent, QString(), folder);
    prepareFileDialog(dialog, filter, save);
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
