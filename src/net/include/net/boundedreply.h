#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

class QNetworkReply;

namespace qb::net {

// One network reply held to limits: its answer may not grow past `maxBytes`, as announced or
// as it arrives, and it fails once `time` has passed since it started or, with
// `restartOnProgress`, since bytes last moved. It owns the reply and hands over the outcome
// once; deleting it first aborts the reply and hands over nothing.
class BoundedReply : public QObject {
public:
    enum class Outcome { Finished, TooLarge, OutOfTime, Refused };
    struct Limits {
        std::chrono::milliseconds time;
        qint64 maxBytes = 0;
        bool restartOnProgress = false;
    };
    // The reply as it ended and the body read from it. It is aborted once this returns unless
    // it finished, and deleted later.
    using Completion = std::function<void(Outcome, QNetworkReply &, QByteArray body)>;

    BoundedReply(QNetworkReply *reply, const Limits &limits, Completion done, QObject *parent);
    ~BoundedReply() override;

    // Ends the request because the caller does not accept where it leads (a redirect).
    void refuse() { finish(Outcome::Refused); }

private:
    void checkAnnouncedSize();
    void read();
    void finish(Outcome outcome);

    QNetworkReply *m_reply;
    Limits m_limits;
    Completion m_done;
    QByteArray m_body;
    QTimer m_timer;
};

} // namespace qb::net
