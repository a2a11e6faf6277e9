#include "fakecaldav.h"

#include <QPointer>
#include <QTimer>
#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

namespace qb::sync::test {

namespace {

const QString tokenPrefix = u"fake:"_s;

HttpResponse status(int code, const QByteArray &body = {}) {
    HttpResponse response;
    response.status = code;
    response.body = body;
    return response;
}

// The text of every element named `name` in a request body.
QStringList elementTexts(const QByteArray &xml, const QString &name) {
    QXmlStreamReader reader(xml);
    QStringList texts;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == name)
            texts.append(reader.readElementText());
    }
    return texts;
}

QByteArray escaped(const QString &text) {
    return text.toHtmlEscaped().toUtf8();
}

QByteArray header(const HttpRequest &request, const QByteArray &name) {
    for (const auto &[key, value] : request.headers) {
        if (key == name)
            return value;
    }
    return {};
}

const QByteArray multistatusStart = "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
                                    "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">";

// A 207 answer, one response per member.
class Multistatus {
public:
    void member(const QString &path, const QString &etag, const QByteArray *data = nullptr) {
        m_body += "<d:response><d:href>" + escaped(path) +
                  "</d:href><d:propstat><d:prop><d:getetag>" + escaped(etag) + "</d:getetag>";
        if (data)
            m_body +=
                "<c:calendar-data>" + escaped(QString::fromUtf8(*data)) + "</c:calendar-data>";
        m_body += "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
    }
    void gone(const QString &path) {
        m_body += "<d:response><d:href>" + escaped(path) +
                  "</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>";
    }
    HttpResponse finish(const QString &token = {}) {
        if (!token.isEmpty())
            m_body += "<d:sync-token>" + escaped(token) + "</d:sync-token>";
        return status(207, multistatusStart + m_body + "</d:multistatus>");
    }

private:
    QByteArray m_body;
};

} // namespace

std::unique_ptr<HttpTransport> FakeCalDav::connection() {
    class Connection final : public HttpTransport {
    public:
        explicit Connection(FakeCalDav &server)
            : m_server(&server) {}
        void send(const HttpRequest &request, Completion done) override {
            if (m_server)
                m_server->send(request, std::move(done));
        }

    private:
        QPointer<FakeCalDav> m_server;
    };
    return std::make_unique<Connection>(*this);
}

QUrl FakeCalDav::collectionUrl() const {
    return QUrl(u"https://dav.example"_s + QLatin1String(collectionPath));
}

int FakeCalDav::count(const QByteArray &method) const {
    return int(std::count_if(requests.begin(), requests.end(),
                             [&](const HttpRequest &r) { return r.method == method; }));
}

void FakeCalDav::send(const HttpRequest &request, Completion done) {
    requests.append(request);
    std::optional<HttpResponse> scripted = intercept ? intercept(request) : std::nullopt;
    const HttpResponse response = scripted ? *scripted : answer(request);
    QTimer::singleShot(0, this, [response, done] { done(response); });
}

void FakeCalDav::changed(const QString &path) {
    m_changedAt.insert(path, ++m_version);
}

void FakeCalDav::store(const QString &name, const QByteArray &data) {
    const QString path = QLatin1String(collectionPath) + name;
    objects.insert(path, {data, u"\"e%1\""_s.arg(++m_etags)});
    changed(path);
}

void FakeCalDav::forgetTokens(Forgotten answer) {
    m_forgottenBefore = m_version + 1;
    m_forgotten = answer;
}

HttpResponse FakeCalDav::answer(const HttpRequest &request) {
    const QByteArray expected = "Basic " + QByteArray("alice:" + password.toUtf8()).toBase64();
    if (header(request, "Authorization") != expected)
        return status(401);
    const QString path = request.url.path();
    if (request.method == "REPORT")
        return report(request);
    if (request.method == "GET") {
        if (!objects.contains(path))
            return status(404);
        HttpResponse response = status(200, objects[path].data);
        response.headers.insert("etag", objects[path].etag.toUtf8());
        return response;
    }
    if (request.method == "PUT")
        return put(request, path);
    if (request.method == "DELETE")
        return remove(request, path);
    if (request.method == "PROPFIND" && path == QLatin1String(collectionPath))
        return status(207, multistatusStart + "<d:response><d:href>" + QByteArray(collectionPath) +
                               "</d:href><d:propstat><d:prop><d:resourcetype><d:collection/>"
                               "<c:calendar/></d:resourcetype><d:displayname>Tasks</d:displayname>"
                               "<c:supported-calendar-component-set><c:comp name=\"VTODO\"/>"
                               "</c:supported-calendar-component-set></d:prop><d:status>HTTP/1.1 "
                               "200 OK</d:status></d:propstat></d:response></d:multistatus>");
    return status(405);
}

HttpResponse FakeCalDav::report(const HttpRequest &request) {
    Multistatus reply;
    if (request.body.contains("sync-collection")) {
        const QStringList tokens = elementTexts(request.body, u"sync-token"_s);
        const QString token = tokens.value(0);
        int since = 0;
        bool listing = token.isEmpty();
        if (!listing) {
            since = token.mid(tokenPrefix.size()).toInt();
            if (!token.startsWith(tokenPrefix) || since < m_forgottenBefore || since > m_version) {
                if (m_forgotten == Forgotten::Refused)
                    return status(403, "<?xml version=\"1.0\"?><d:error xmlns:d=\"DAV:\">"
                                       "<d:valid-sync-token/></d:error>");
                since = 0;
                listing = true;
            }
        }
        for (auto it = m_changedAt.constBegin(); it != m_changedAt.constEnd(); ++it) {
            if (it.value() <= since)
                continue;
            if (objects.contains(it.key()))
                reply.member(it.key(), objects[it.key()].etag);
            else if (!listing)
                reply.gone(it.key());
        }
        return reply.finish(tokenPrefix + QString::number(m_version));
    }
    if (request.body.contains("calendar-multiget")) {
        for (const QString &href : elementTexts(request.body, u"href"_s)) {
            const QString path = QUrl::fromPercentEncoding(href.toUtf8());
            if (objects.contains(path))
                reply.member(path, objects[path].etag, &objects[path].data);
            else
                reply.gone(path);
        }
        return reply.finish();
    }
    for (auto it = objects.constBegin(); it != objects.constEnd(); ++it)
        reply.member(it.key(), it.value().etag);
    return reply.finish();
}

HttpResponse FakeCalDav::put(const HttpRequest &request, const QString &path) {
    const QByteArray ifMatch = header(request, "If-Match");
    const QByteArray ifNoneMatch = header(request, "If-None-Match");
    const bool exists = objects.contains(path);
    if ((ifNoneMatch == "*" && exists) ||
        (!ifMatch.isEmpty() && (!exists || objects[path].etag.toUtf8() != ifMatch)))
        return status(exists || ifMatch.isEmpty() ? 412 : 404);
    objects.insert(path, {request.body, u"\"e%1\""_s.arg(++m_etags)});
    changed(path);
    HttpResponse response = status(exists ? 204 : 201);
    response.headers.insert("etag", objects[path].etag.toUtf8());
    return response;
}

HttpResponse FakeCalDav::remove(const HttpRequest &request, const QString &path) {
    if (!objects.contains(path))
        return status(404);
    const QByteArray ifMatch = header(request, "If-Match");
    if (!ifMatch.isEmpty() && objects[path].etag.toUtf8() != ifMatch)
        return status(412);
    objects.remove(path);
    changed(path);
    return status(204);
}

} // namespace qb::sync::test
