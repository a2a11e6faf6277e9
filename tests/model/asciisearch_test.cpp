#include "asciisearch.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Byte-at-a-time answers to hold the word-at-a-time search to.
bool plainByBytes(const std::string &text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return qb::ascii::isPlain(c); });
}

bool containsByBytes(const std::string &text, const std::string &query) {
    std::string lowered = text;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), qb::ascii::lower);
    return lowered.find(query) != std::string::npos;
}

std::string randomBytes(QRandomGenerator &random, const std::string &alphabet, int length) {
    std::string text;
    for (int i = 0; i < length; ++i)
        text.push_back(alphabet[random.bounded(int(alphabet.size()))]);
    return text;
}

} // namespace

// Lengths up to 40 put matches and odd bytes at every place in and across eight-byte words; '@'
// and '`' differ from 'A' and 'a' only in the bit that folds case, '[' and '{' likewise.
TEST(AsciiSearch, agreesWithAByteByByteSearch) {
    QRandomGenerator random(5);
    const std::string alphabet = std::string("aAbB@`[{ \t\n\r\x01\x1f\x7f") + "\xc3\xa9\x80";
    const std::string queryAlphabet = "ab@`[{ ";
    int found = 0;
    int plain = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string text = randomBytes(random, alphabet, random.bounded(41));
        const std::string query = randomBytes(random, queryAlphabet, 1 + random.bounded(3));
        const bool expectedPlain = plainByBytes(text);
        EXPECT_EQ(qb::ascii::isPlain(text.data(), qsizetype(text.size())), expectedPlain)
            << "text of " << text.size() << " bytes";
        const bool expected = containsByBytes(text, query);
        EXPECT_EQ(qb::ascii::containsIgnoringCase(text.data(), qsizetype(text.size()), query),
                  expected)
            << '"' << query << "\" in \"" << text << '"';
        found += expected ? 1 : 0;
        plain += expectedPlain ? 1 : 0;
    }
    // Both answers of each question came up often enough to mean something.
    EXPECT_GT(found, 500);
    EXPECT_LT(found, 3500);
    EXPECT_GT(plain, 200);
    EXPECT_FALSE(qb::ascii::containsIgnoringCase("anything", 8, ""));
}
