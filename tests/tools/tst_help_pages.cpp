// SPDX-License-Identifier: MIT
// The help pages as shipped: readable by the help window (UTF-8, declared so, no scripts or
// style sheets), naming this build's version, and linked together without dead ends.
#include "about/version.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QtTest>

namespace {

const QDir& helpDir() {
    static const QDir dir(QStringLiteral(QZ_HELP_DIR));
    return dir;
}

QStringList pageNames() {
    return helpDir().entryList({QStringLiteral("*.html")}, QDir::Files);
}

QString readPage(const QString& name, bool* validUtf8 = nullptr) {
    QFile f(helpDir().filePath(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(f.readAll());
    if (validUtf8) *validUtf8 = !decoder.hasError();
    return text;
}

// Links to other help pages (external addresses are left alone), as "page" or "page#anchor".
QStringList localLinks(const QString& html) {
    static const QRegularExpression href(QStringLiteral("href\\s*=\\s*\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression scheme(QStringLiteral("^[a-z][a-z0-9+.-]*:"),
                                           QRegularExpression::CaseInsensitiveOption);
    QStringList links;
    for (auto it = href.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (!scheme.match(target).hasMatch()) links.append(target);
    }
    return links;
}

bool hasAnchor(const QString& html, const QString& anchor) {
    const QRegularExpression named(
        QStringLiteral("(name|id)\\s*=\\s*\"%1\"").arg(QRegularExpression::escape(anchor)),
        QRegularExpression::CaseInsensitiveOption);
    return named.match(html).hasMatch();
}

} // namespace

class TstHelpPages : public QObject {
    Q_OBJECT

  private slots:
    void pageIsPlainUtf8Html_data();
    void pageIsPlainUtf8Html();
    void linksReachExistingPagesAndAnchors_data();
    void linksReachExistingPagesAndAnchors();
    void everyPageIsReachableFromTheEntryPage();
};

void TstHelpPages::pageIsPlainUtf8Html_data() {
    QTest::addColumn<QString>("page");
    const QStringList pages = pageNames();
    QVERIFY(pages.contains(QStringLiteral("index.html")));
    for (const QString& page : pages)
        QTest::newRow(qPrintable(page)) << page;
}

void TstHelpPages::pageIsPlainUtf8Html() {
    QFETCH(QString, page);
    bool valid = false;
    const QString html = readPage(page, &valid);
    QVERIFY2(valid, "not valid UTF-8");
    QVERIFY2(html.contains(QStringLiteral("<meta charset=\"utf-8\">"), Qt::CaseInsensitive),
             "no charset declaration");
    QVERIFY(html.contains(QStringLiteral("<title>"), Qt::CaseInsensitive));
    for (const char* unsupported : {"<script", "<style", "stylesheet", "javascript:"})
        QVERIFY2(!html.contains(QLatin1String(unsupported), Qt::CaseInsensitive), unsupported);
    QVERIFY2(!html.contains(u'@'), "a placeholder left unfilled");
    // A page that names the version names this build's, as the version box shows it.
    const QString named = QStringLiteral("Version　");
    if (const qsizetype at = html.indexOf(named); at >= 0) {
        const QString version = qz::fullWidthVersion(qz::programVersion());
        QCOMPARE(html.mid(at + named.size(), version.size()), version);
    }
}

void TstHelpPages::linksReachExistingPagesAndAnchors_data() {
    pageIsPlainUtf8Html_data();
}

void TstHelpPages::linksReachExistingPagesAndAnchors() {
    QFETCH(QString, page);
    const QString html = readPage(page);
    for (const QString& link : localLinks(html)) {
        const qsizetype hash = link.indexOf(u'#');
        const QString file = hash < 0 ? link : link.left(hash);
        const QString anchor = hash < 0 ? QString() : link.mid(hash + 1);
        QVERIFY2(file.isEmpty() || helpDir().exists(file), qPrintable(link));
        if (!anchor.isEmpty())
            QVERIFY2(hasAnchor(file.isEmpty() ? html : readPage(file), anchor), qPrintable(link));
    }
}

void TstHelpPages::everyPageIsReachableFromTheEntryPage() {
    QSet<QString> seen{QStringLiteral("index.html")};
    QStringList queue{QStringLiteral("index.html")};
    while (!queue.isEmpty()) {
        const QString page = queue.takeFirst();
        for (const QString& link : localLinks(readPage(page))) {
            const QString file = link.section(u'#', 0, 0);
            if (!file.isEmpty() && !seen.contains(file) && helpDir().exists(file)) {
                seen.insert(file);
                queue.append(file);
            }
        }
    }
    for (const QString& page : pageNames())
        QVERIFY2(seen.contains(page), qPrintable(page + QStringLiteral(" has no link to it")));
}

QTEST_GUILESS_MAIN(TstHelpPages)
#include "tst_help_pages.moc"
