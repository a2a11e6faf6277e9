#include "todaysnapshot.h"

#include "model/clock.h"
#include "model/stockqueries.h"
#include "store/modelcontext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

namespace qb {

namespace {

// The reference moment of the snapshot's date encoding.
const QDateTime referenceDate(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

QByteArray jsonString(const QString &text) {
    // A one-element array is the simplest way to borrow QJson's string escaping.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

TodaySnapshot TodaySnapshot::build(ModelContext &context, const Clock &clock,
                                   const Calendar &calendar) {
    TodaySnapshot snapshot;
    const TodoPredicate due = stockqueries::todayList(clock.now(), calendar);
    snapshot.totalCount = context.count(due).valueOr(0);

    TodoFetch request;
    request.predicate = due;
    request.sort = {{TodoSort::Field::SortOrder, true}};
    request.limit = maximumItems;
    for (const auto &item : context.fetch(request).valueOr({})) {
        snapshot.items.append(
            {item->id(), item->title().isEmpty() ? QStringLiteral("New To-Do") : item->title(),
             item->hasNotes()});
    }
    snapshot.generatedAt = clock.now();
    return snapshot;
}

QByteArray TodaySnapshot::toJson() const {
    QByteArray json = "{\"totalCount\":" + QByteArray::number(totalCount) + ",\"items\":[";
    for (qsizetype i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        if (i > 0)
            json += ',';
        json += "{\"id\":\"" + item.id.toString(QUuid::WithoutBraces).toUpper().toLatin1() +
                "\",\"title\":" + jsonString(item.title) +
                ",\"hasNotes\":" + (item.hasNotes ? "true" : "false") + '}';
    }
    const double seconds = double(referenceDate.msecsTo(generatedAt)) / 1000.0;
    json +=
        "],\"generatedAt\":" + QByteArray::number(seconds, 'g', QLocale::FloatingPointShortest) +
        '}';
    return json;
}

} // namespace qb
