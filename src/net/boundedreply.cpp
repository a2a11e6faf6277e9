#include "net/boundedreply.h"

#include <QNetworkReply>

#include <utility>

namespace qb::net {

BoundedReply::BoundedReply(QNetworkReply *reply, const Limits &limits, Completion done,
                           QObject *parent)
    : QObject(parent)
    , m_reply(reply)
    , m_limits(limits)
    , m_done(std::move(done)) {
    m_reply->setParent(this);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &BoundedReply::checkAnnouncedSize);
    connect(m_reply, &QNetworkReply::readyRead, this, &BoundedReply::read);
    connect(m_reply, &QNetworkReply::finished, this, [this] {
        read();
        finish(Outcome::Finished);
    });
    if (m_limits.restartOnProgress) {
        const auto moved = [this] { m_timer.start(m_limits.time); };
        connect(m_reply, &QNetworkReply::uploadProgress, this, moved);
        connect(m_reply, &QNetworkReply::downloadProgress, this, moved);
    }
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { finish(Outcome::OutOfTime); });
    m_timer.start(m_limits.time);
}

BoundedReply::~BoundedReply() {
    m_reply->disconnect(this);
    m_reply->abort();
}

void BoundedReply::checkAnnouncedSize() {
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        finish(Outcome::TooLarge);
}

void BoundedReply::read() {
    if (!m_done)
        return;
    m_body += m_reply->readAll();
    if (m_body.size() > m_limits.maxBytes)
        finish(Outcome::TooLarge);
}

void BoundedReply::finish(Outcome outcome) {
    Completion done = std::exchange(m_done, nullptr);
    if (!done)
        return;
    m_timer.stop();
    m_reply->disconnect(this);
    deleteLater();
    done(outcome, *m_reply, std::exchange(m_body, {}));
    // A request cut short stops here; a finished one has nothing left to stop.
    if (outcome != Outcome::Finished)
        m_reply->abort();
}

} // namespace qb::net
