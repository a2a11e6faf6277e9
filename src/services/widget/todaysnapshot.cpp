#include "widget/todaysnapshot.h"

#include "base/jsonstring.h"

#include "model/clock.h"
#include "model/stockqueries.h"
#include "store/modelcontext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <limits>

namespace qb {

namespace {

// The reference moment of the snapshot's date encoding.
const QDateTime referenceDate(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

} // namespace

TodaySnapshot TodaySnapshot::build(ModelContext &context, const Clock &clock,
                                   const Calendar &calendar) {
    TodaySnapshot snapshot;
    const auto headlines = context.headlines(stockqueries::todayList(clock.now(), calendar),
                                             {{TodoSort::Field::SortOrder, true}}, maximumItems);
    // A failed read leaves the snapshot empty, as a failed count and fetch each would.
    if (headlines) {
        snapshot.totalCount = headlines.value().totalCount;
        for (const TodoHeadline &item : headlines.value().items)
            snapshot.items.append({item.id,
                                   item.title.isEmpty() ? QStringLiteral("New To-Do") : item.title,
                                   item.hasNotes});
    }
    snapshot.generatedAt = clock.now();
    return snapshot;
}

QByteArray TodaySnapshot::toJson() const {
    QByteArray json;
    json.reserve(64 + items.size() * 96);
    json += "{\"totalCount\":" + QByteArray::number(totalCount) + ",\"items\":[";
    for (qsizetype i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        if (i > 0)
            json += ',';
        json +=
            "{\"id\":\"" + item.id.toByteArray(QUuid::WithoutBraces).toUpper() + "\",\"title\":";
        appendJsonString(json, item.title);
        json += item.hasNotes ? ",\"hasNotes\":true}" : ",\"hasNotes\":false}";
    }
    const double seconds = double(referenceDate.msecsTo(generatedAt)) / 1000.0;
    json +=
        "],\"generatedAt\":" + QByteArray::number(seconds, 'g', QLocale::FloatingPointShortest) +
        '}';
    return json;
}

std::optional<TodaySnapshot> TodaySnapshot::fromJson(const QByteArray &json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue total = object.value(QLatin1String("totalCount"));
    const QJsonValue items = object.value(QLatin1String("items"));
    const QJsonValue generated = object.value(QLatin1String("generatedAt"));
    if (!total.isDouble() || !items.isArray() || !generated.isDouble())
        return std::nullopt;
    const double count = total.toDouble();
    if (count < 0 || count > std::numeric_limits<int>::max() || count != std::floor(count))
        return std::nullopt;
    const auto generatedAt = momentFromSeconds(generated.toDouble());
    if (!generatedAt)
        return std::nullopt;

    TodaySnapshot snapshot;
    snapshot.totalCount = int(count);
    for (const QJsonValue &value : items.toArray()) {
        const QJsonObject entry = value.toObject();
        const QJsonValue id = entry.value(QLatin1String("id"));
        const QJsonValue title = entry.value(QLatin1String("title"));
        const QJsonValue notes = entry.value(QLatin1String("hasNotes"));
        if (!value.isObject() || !id.isString() || !title.isString() || !notes.isBool())
            return std::nullopt;
        const QUuid uuid = QUuid::fromString(id.toString());
        if (uuid.isNull())
            return std::nullopt;
        if (snapshot.items.size() < maximumItems)
            snapshot.items.append({uuid, title.toString(), notes.toBool()});
    }
    snapshot.generatedAt = *generatedAt;
    return snapshot;
}

std::optional<QDateTime> TodaySnapshot::momentFromSeconds(double seconds) {
    // About ±3,000 years: far beyond any real moment, and safe to turn into milliseconds.
    if (!(std::abs(seconds) < 1e11))
        return std::nullopt;
    return referenceDate.addMSecs(qint64(std::llround(seconds * 1000.0)));
}

} // namespace qb
