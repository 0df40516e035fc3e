// The English texts as data: every source text of translations/lantrel_en.ts has a finished
// translation that keeps its placeholders, the file holds exactly what lupdate finds in the
// window's sources, and no Japanese text of those sources escapes translation.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "ui/japanese_text.h"

namespace lantrel {
namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    bool finished = true;
};

std::vector<Message> readTranslations(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    std::vector<Message> messages;
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"name") context = xml.readElementText();
        if (xml.name() == u"message") messages.push_back({context, {}, {}, true});
        if (xml.name() == u"source") messages.back().source = xml.readElementText();
        if (xml.name() == u"translation") {
            const auto type = xml.attributes().value(QStringLiteral("type"));
            messages.back().finished = type.isEmpty();
            messages.back().translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

std::string describe(const Message& message) {
    return (message.context + " / " + message.source).toStdString();
}

// "%1", "%2" and the tab before a key name, each as often: a translation that drops an argument
// loses the file's name, one that doubles it shows the user a raw "%2".
std::multiset<QString> placeholders(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("%\\d|\\t"));
    std::multiset<QString> found;
    for (const auto& match : pattern.globalMatch(text))
        found.insert(match.captured());
    return found;
}

TEST(TranslationFile, EverySourceTextHasAFinishedEnglishTranslationKeepingItsPlaceholders) {
    const auto messages = readTranslations(QStringLiteral(LANTREL_TS_FILE));
    ASSERT_GT(messages.size(), 100u);
    for (const Message& message : messages) {
        EXPECT_TRUE(message.finished) << describe(message);
        EXPECT_FALSE(message.translation.isEmpty()) << describe(message);
        EXPECT_FALSE(test::hasJapanese(message.translation)) << describe(message);
        EXPECT_EQ(placeholders(message.translation), placeholders(message.source))
            << describe(message);
    }
}

// Someone who adds a tr() and forgets `cmake --build build --target update_translations`
// hears it here, not from a user who meets a Japanese text in the English window.
TEST(TranslationFile, HoldsExactlyWhatLupdateFindsInTheWindowsSources) {
    const test::TempDir dir;
    const QString copy = QString::fromStdString((dir.path() / "lantrel_en.ts").string());
    ASSERT_TRUE(QFile::copy(QStringLiteral(LANTREL_TS_FILE), copy));
    QProcess lupdate;
    lupdate.start(QStringLiteral(LANTREL_LUPDATE),
                  {"-silent", "-locations", "none", "-no-obsolete",
                   QStringLiteral(LANTREL_SOURCE_DIR "/app"), "-ts", copy});
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    std::set<std::pair<QString, QString>> committed, current;
    for (const Message& message : readTranslations(QStringLiteral(LANTREL_TS_FILE)))
        committed.insert({message.context, message.source});
    for (const Message& message : readTranslations(copy)) {
        current.insert({message.context, message.source});
        EXPECT_TRUE(message.finished) << "new in the sources: " << describe(message);
    }
    EXPECT_EQ(committed, current) << "run the update_translations target";
}

// The sources' string literals, adjacent ones joined and "\n" unescaped, without comments.
std::vector<QString> stringLiterals(const QString& code) {
    std::vector<QString> literals;
    QString current;
    bool joining = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (code.mid(i, 2) == u"//") {
            i = code.indexOf(u'\n', i);
            if (i < 0) break;
        } else if (c == u'\'') {
            i = code.indexOf(u'\'', i + (code[i + 1] == u'\\' ? 3 : 2));
        } else if (c == u'"') {
            if (!joining) current.clear();
            for (++i; i < code.size() && code[i] != u'"'; ++i) {
                if (code[i] == u'\\') {
                    ++i;
                    current += code[i] == u'n'   ? QChar(u'\n')
                               : code[i] == u't' ? QChar(u'\t')
                                                 : code[i];
                } else {
                    current += code[i];
                }
            }
            joining = true;
            continue;
        } else if (c.isSpace()) {
            continue;
        }
        if (joining) literals.push_back(current);
        joining = false;
    }
    return literals;
}

TEST(TranslationFile, EveryJapaneseTextOfTheWindowIsASourceText) {
    std::set<QString> sources;
    for (const Message& message : readTranslations(QStringLiteral(LANTREL_TS_FILE)))
        sources.insert(message.source);
    // Each language under its own name, and the note in both.
    const std::set<QString> untranslated = {
        QStringLiteral("日本語"),
        QStringLiteral(
            "次回の起動から有効になります。\nTakes effect the next time Lantrel starts.")};
    int japanese = 0;
    QDirIterator files(QStringLiteral(LANTREL_SOURCE_DIR "/app"), {"*.cpp", "*.h"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QString& literal : stringLiterals(QString::fromUtf8(file.readAll()))) {
            if (!test::hasJapanese(literal) || untranslated.contains(literal)) continue;
            ++japanese;
            EXPECT_TRUE(sources.contains(literal))
                << file.fileName().toStdString() << ": " << literal.toStdString();
        }
    }
    EXPECT_GT(japanese, 100) << "the scan no longer finds the window's texts";
}

}  // namespace
}  // namespace lantrel
