#include "platform/instanceprotocol.h"

#include <QStringDecoder>
#include <QtEndian>

namespace qb::instanceprotocol {

namespace {

constexpr qsizetype wordSize = 4;

void appendWord(QByteArray &bytes, quint32 value) {
    char word[wordSize];
    qToBigEndian(value, word);
    bytes.append(word, wordSize);
}

quint32 wordAt(const QByteArray &bytes, qsizetype offset) {
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

} // namespace

QByteArray encode(const QStringList &urls, qsizetype *leftOut) {
    QList<QByteArray> kept;
    for (const QString &url : urls) {
        QByteArray utf8 = url.toUtf8();
        if (kept.size() < maximumUrls && utf8.size() <= maximumUrlBytes)
            kept.append(std::move(utf8));
    }
    if (leftOut)
        *leftOut = urls.size() - kept.size();

    QByteArray request(magic.data(), magic.size());
    appendWord(request, quint32(kept.size()));
    for (const QByteArray &url : kept) {
        appendWord(request, quint32(url.size()));
        request.append(url);
    }
    return request;
}

RequestReader::State RequestReader::append(QByteArrayView bytes) {
    if (m_state != State::Incomplete) {
        // Nothing may follow a complete request.
        if (!bytes.isEmpty())
            m_state = State::Invalid;
        return m_state;
    }
    m_buffer.append(bytes.data(), bytes.size());
    m_state = parse();
    return m_state;
}

RequestReader::State RequestReader::parse() {
    const qsizetype known = qMin(m_buffer.size(), magic.size());
    if (QByteArrayView(m_buffer).first(known) != magic.first(known))
        return State::Invalid;
    qsizetype offset = magic.size();
    if (m_buffer.size() < offset + wordSize)
        return State::Incomplete;
    const quint32 count = wordAt(m_buffer, offset);
    if (count > quint32(maximumUrls))
        return State::Invalid;
    offset += wordSize;

    QStringList urls;
    for (quint32 i = 0; i < count; ++i) {
        if (m_buffer.size() < offset + wordSize)
            return State::Incomplete;
        const quint32 length = wordAt(m_buffer, offset);
        if (length > quint32(maximumUrlBytes))
            return State::Invalid;
        offset += wordSize;
        if (m_buffer.size() < offset + qsizetype(length))
            return State::Incomplete;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString url = utf8(QByteArrayView(m_buffer).sliced(offset, length));
        if (utf8.hasError())
            return State::Invalid;
        urls.append(std::move(url));
        offset += length;
    }
    if (m_buffer.size() > offset)
        return State::Invalid;
    m_urls = std::move(urls);
    m_buffer.clear();
    return State::Complete;
}

} // namespace qb::instanceprotocol
