#include "base/jsonstring.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace qb;

namespace {

QByteArray written(const QString &text) {
    QByteArray json;
    appendJsonString(json, text);
    return json;
}

// Unpaired surrogates replaced by U+FFFD, as the writer must do.
QString paired(const QString &text) {
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (result[i].isHighSurrogate() && i + 1 < result.size() && result[i + 1].isLowSurrogate())
            ++i;
        else if (result[i].isSurrogate())
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

} // namespace

TEST(JsonString, escapesQuotesBackslashesControlsAndJavaScriptLineBreaks) {
    const struct {
        QString text;
        QByteArray json;
    } cases[] = {
        {QString(), "\"\""},
        {QStringLiteral("Say \"hi\" \\ a/b"), R"("Say \"hi\" \\ a/b")"},
        {QStringLiteral("t\tn\nr\rf\fb\b%1 \x1f del\x7f").arg(QChar(0)),
         R"("t\tn\nr\rf\u000cb\u0008\u0000 \u001f del\u007f")"},
        {QStringLiteral("a\u2028b\u2029c"), R"("a\u2028b\u2029c")"},
        {QStringLiteral("é ✓ 日本"), "\"\xc3\xa9 \xe2\x9c\x93 \xe6\x97\xa5\xe6\x9c\xac\""},
        {QString::fromUcs4(U"😀"), "\"\xf0\x9f\x98\x80\""},
        {QString(QChar(0xde00)) + QChar(0xd83d) + u'x', "\"\xef\xbf\xbd\xef\xbf\xbdx\""},
    };
    for (const auto &[text, json] : cases)
        EXPECT_EQ(written(text), json) << text.toStdString();
    QByteArray appended = "{\"title\":";
    appendJsonString(appended, u"a");
    EXPECT_EQ(appended, QByteArray("{\"title\":\"a\""));
}

// Random UTF-16 drawn mostly from the ranges where escaping decisions change: controls, ASCII,
// two- and three-byte characters, and surrogates paired or not. Whatever comes in, a reader gets
// the text back and the output holds no raw control character or JavaScript line break.
TEST(JsonString, anyTextReadsBackAndLeavesNoRawControlCharacters) {
    QRandomGenerator random(20261206);
    const char16_t pool[][2] = {{0x00, 0x20},     {0x20, 0x80},     {0x80, 0x800},
                                {0x800, 0xd800},  {0xd800, 0xdc00}, {0xdc00, 0xe000},
                                {0xe000, 0xffff}, {0x2027, 0x202a}};
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(24);
        for (int i = 0; i < length; ++i) {
            const auto &range = pool[random.bounded(int(std::size(pool)))];
            text += QChar(char16_t(random.bounded(int(range[0]), int(range[1]))));
        }
        const QByteArray json = written(text);
        // What a JSON reader gets back.
        QJsonParseError error;
        const QJsonDocument read = QJsonDocument::fromJson('[' + json + ']', &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << json.toStdString();
        ASSERT_EQ(read.array().at(0).toString(), paired(text)) << "round " << round;
        for (const char byte : json)
            ASSERT_TRUE(quint8(byte) >= 0x20 && quint8(byte) != 0x7f) << "round " << round;
        ASSERT_FALSE(json.contains("\xe2\x80\xa8") || json.contains("\xe2\x80\xa9"));
    }
}
