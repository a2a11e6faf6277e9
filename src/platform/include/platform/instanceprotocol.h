#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

namespace qb::instanceprotocol {

// What a second start of the app sends to the running one over the local socket:
//
//   "QBU1"  then a 32-bit big-endian count of URLs,
//   then for each URL a 32-bit big-endian byte length and that many bytes of UTF-8.
//
// The running instance answers one byte, `accepted`, once it has acted on the URLs, and
// closes the connection. An empty list (a start without URLs) only asks it to show itself.

inline constexpr QByteArrayView magic = "QBU1";
inline constexpr qsizetype maximumUrls = 64;
inline constexpr qsizetype maximumUrlBytes = 16 * 1024;
inline constexpr char accepted = '+';

// The request for `urls`. URLs past the limits are left out; `leftOut` (when given) tells
// how many.
QByteArray encode(const QStringList &urls, qsizetype *leftOut = nullptr);

// Reads one request as its bytes arrive, in pieces of any size. Anything that cannot be the
// start of a valid request (wrong magic, a count or length over the limits, bad UTF-8, bytes
// after the end) is Invalid at once, so a stray client is dropped without waiting for more.
class RequestReader {
public:
    enum class State { Incomplete, Complete, Invalid };

    State append(QByteArrayView bytes);
    State state() const { return m_state; }
    // The URLs, once Complete.
    const QStringList &urls() const { return m_urls; }

private:
    State parse();

    QByteArray m_buffer;
    QStringList m_urls;
    State m_state = State::Incomplete;
};

} // namespace qb::instanceprotocol
