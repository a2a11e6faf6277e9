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

// What QJsonDocument writes for the string, quotes included.
QByteArray reference(const QString &text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

TEST(JsonString, escapesLikeQJsonDocument) {
    const QString cases[] = {
        QString(),
        QStringLiteral("plain words"),
        QStringLiteral("Say \"hi\" \\ back/slash"),
        QStringLiteral("tab\tnew\nline\rfeed\fbell\bnull%1 unit\x1f del\x7f").arg(QChar(0)),
        QStringLiteral("é É ß ✓ → “quoted” 日本"),
        QString::fromUcs4(U"emoji 😀 and 𝄞"),
        QString(QChar(0xd83d)) + QStringLiteral(" lone high"),
        QStringLiteral("lone low ") + QChar(0xde00),
        QStringLiteral("high at the end ") + QChar(0xd83d),
        QString(QChar(0xde00)) + QChar(0xd83d), // reversed pair
        QString(QChar(0xfffe)) + QChar(0xffff) + QChar(0x2028),
    };
    for (const QString &text : cases)
        EXPECT_EQ(written(text), reference(text)) << text.toStdString();
}

// Random UTF-16 drawn mostly from the ranges where escaping decisions change: controls,
// ASCII, two- and three-byte characters, and surrogates paired or not.
TEST(JsonString, randomTextMatchesQJsonDocument) {
    QRandomGenerator random(20261206);
    const char16_t pool[][2] = {{0x00, 0x20},    {0x20, 0x80},     {0x80, 0x800},
                                {0x800, 0xd800}, {0xd800, 0xdc00}, {0xdc00, 0xe000},
                                {0xe000, 0xffff}};
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(24);
        for (int i = 0; i < length; ++i) {
            const auto &range = pool[random.bounded(int(std::size(pool)))];
            text += QChar(char16_t(random.bounded(int(range[0]), int(range[1]))));
        }
        ASSERT_EQ(written(text), reference(text)) << "round " << round;
    }
}

TEST(JsonString, appendsToWhatIsAlreadyThere) {
    QByteArray json = "{\"title\":";
    appendJsonString(json, u"a\"b");
    EXPECT_EQ(json, QByteArray("{\"title\":\"a\\\"b\""));
}
