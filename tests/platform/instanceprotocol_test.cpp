#include "platform/instanceprotocol.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

using namespace qb::instanceprotocol;
using State = RequestReader::State;

namespace {

QByteArray word(quint32 value) {
    return QByteArray(1, char(value >> 24)) + char(value >> 16) + char(value >> 8) + char(value);
}

} // namespace

TEST(InstanceProtocol, aRequestArrivingByteByByteIsCompleteOnlyWithItsLastByte) {
    const QStringList urls{u"quillbrook://today"_s, QString(), QStringLiteral(u"x://ü?q=😀#frag"),
                           u"quillbrook://new"_s};
    const QByteArray request = encode(urls);
    RequestReader reader;
    for (qsizetype i = 0; i + 1 < request.size(); ++i)
        ASSERT_EQ(reader.append(request.sliced(i, 1)), State::Incomplete) << "byte " << i;
    EXPECT_EQ(reader.append(request.last(1)), State::Complete);
    EXPECT_EQ(reader.urls(), urls);

    RequestReader whole;
    EXPECT_EQ(whole.append(encode({})), State::Complete);
    EXPECT_TRUE(whole.urls().isEmpty());
}

TEST(InstanceProtocol, anythingElseIsInvalidAsSoonAsItShows) {
    const QByteArray header = "QBU1" + word(1);
    const std::pair<const char *, QByteArray> cases[] = {
        {"another protocol", "GET / HTTP/1.0\r\n"},
        {"a wrong first byte alone", "X"},
        {"an older magic", "QBU0" + word(0)},
        {"too many URLs", "QBU1" + word(quint32(maximumUrls) + 1)},
        {"a huge count", "QBU1" + word(0xFFFFFFFFu)},
        {"a URL over the size limit", header + word(quint32(maximumUrlBytes) + 1)},
        {"broken UTF-8", header + word(2) + QByteArray("\xC3\x28")},
        {"bytes after the end", "QBU1" + word(0) + "Z"},
    };
    for (const auto &[what, bytes] : cases) {
        RequestReader reader;
        EXPECT_EQ(reader.append(bytes), State::Invalid) << what;
        EXPECT_TRUE(reader.urls().isEmpty()) << what;
    }

    RequestReader finished;
    ASSERT_EQ(finished.append(encode({u"a://new"_s})), State::Complete);
    EXPECT_EQ(finished.append(QByteArray()), State::Complete);
    EXPECT_EQ(finished.append("more"), State::Invalid);
}

TEST(InstanceProtocol, urlsPastTheLimitsAreLeftOutAndCounted) {
    QStringList urls;
    for (int i = 0; i < maximumUrls + 3; ++i)
        urls.append(u"quillbrook://new/%1"_s.arg(i));
    urls.insert(1, QString(maximumUrlBytes + 1, u'a'));
    qsizetype leftOut = -1;
    const QByteArray request = encode(urls, &leftOut);
    EXPECT_EQ(leftOut, 4);

    RequestReader reader;
    ASSERT_EQ(reader.append(request), State::Complete);
    ASSERT_EQ(reader.urls().size(), maximumUrls);
    EXPECT_EQ(reader.urls().first(), u"quillbrook://new/0"_s);
    EXPECT_EQ(reader.urls().at(1), u"quillbrook://new/1"_s);

    // A URL of exactly the largest size still goes through.
    RequestReader largest;
    EXPECT_EQ(largest.append(encode({QString(maximumUrlBytes, u'b')}, &leftOut)), State::Complete);
    EXPECT_EQ(leftOut, 0);
}
