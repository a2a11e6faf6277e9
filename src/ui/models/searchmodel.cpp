#include "searchmodel.h"

#include "app/dependency.h"
#include "app/environment.h"
#include "model/search.h"
#include "store/modelcontext.h"
#include "todorowsmodel.h"

#include <QQmlEngine>

namespace qb {

SearchModel::SearchModel(QObject *parent)
    : DiffingListModel(parent) {}

SearchModel::~SearchModel() = default;

void SearchModel::setContext(ModelContext *context) {
    if (!replaceFollowed(m_context, context, this))
        return;
    if (m_context)
        connect(m_context, &ModelContext::objectsDidChange, this, &SearchModel::refresh);
    reload();
    emit dependenciesChanged();
}

void SearchModel::setEnvironment(Environment *environment) {
    if (!replaceFollowed(m_environment, environment, this))
        return;
    // "Today" and "Overdue" read differently on a new day.
    if (m_environment) {
        connect(m_environment, &Environment::todayChanged, this, [this] {
            if (!m_rows.isEmpty())
                emit dataChanged(index(0), index(int(m_rows.size()) - 1), {StatusRole});
        });
    }
    reload();
    emit dependenciesChanged();
}

void SearchModel::setQuery(const QString &query) {
    if (m_query == query)
        return;
    const bool sameSearch = search::trimmedQuery(query) == trimmedQuery();
    m_query = query;
    emit queryChanged();
    if (!sameSearch)
        reload();
}

QString SearchModel::trimmedQuery() const {
    return search::trimmedQuery(m_query);
}

void SearchModel::setAccent(const QString &accent) {
    if (m_accent == accent)
        return;
    m_accent = accent;
    emit accentChanged();
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1), {TitleMarkupRole});
}

QList<TodoItemPtr> SearchModel::fetchPage(int offset, int limit, bool *more) const {
    TodoFetch request = search::fetch(m_query);
    request.offset = offset;
    // One extra row tells whether another page exists.
    request.limit = limit + 1;
    QList<TodoItemPtr> page = m_context->fetch(request).valueOr({});
    *more = page.size() > limit;
    if (*more)
        page.removeLast();
    return page;
}

void SearchModel::reload() {
    beginResetModel();
    m_rows.clear();
    m_more = false;
    if (ready() && !trimmedQuery().isEmpty())
        m_rows = fetchPage(0, pageSize, &m_more);
    endResetModel();
    emit countChanged();
}

void SearchModel::refresh() {
    if (!ready() || trimmedQuery().isEmpty())
        return;
    // Re-run over the rows loaded so far and apply the difference row by row.
    bool more = false;
    const int loaded = std::max(pageSize, int(m_rows.size()));
    const QList<TodoItemPtr> fresh = fetchPage(0, loaded, &more);
    const int before = int(m_rows.size());
    applyRows(fresh, [](const TodoItemPtr &item) { return item.get(); });
    m_more = more;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1),
                         {StatusRole, TitleMarkupRole, TitleRole});
    if (before != m_rows.size())
        emit countChanged();
}

bool SearchModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && m_more;
}

void SearchModel::fetchMore(const QModelIndex &parent) {
    if (parent.isValid() || !m_more || !ready())
        return;
    bool more = false;
    const QList<TodoItemPtr> page = fetchPage(int(m_rows.size()), pageSize, &more);
    if (!page.isEmpty()) {
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + page.size() - 1));
        m_rows.append(page);
        endInsertRows();
    }
    m_more = more;
    emit countChanged();
}

namespace {

// Part of the title as styled text, which shows only our emphasis: escaped, and with each
// space that styled text would fold away (one after another, or at either end of the title)
// kept as a no-break space, so the title shows as typed.
QString styledPart(const QString &title, qsizetype from, qsizetype to) {
    QString part;
    for (qsizetype at = from; at < to; ++at) {
        const QChar character = title.at(at);
        const bool folded =
            character == u' ' && (at == 0 || at == title.size() - 1 || title.at(at - 1) == u' ');
        part += folded ? QStringLiteral("&nbsp;") : QString(character).toHtmlEscaped();
    }
    return part;
}

} // namespace

QString SearchModel::titleMarkup(const TodoItem &item) const {
    const QString title = Formatter::title(item.title());
    const auto ranges = search::highlightRanges(title, trimmedQuery(), m_environment->localeName());
    QString markup;
    qsizetype cursor = 0;
    for (const auto &range : ranges) {
        markup += styledPart(title, cursor, range.start);
        markup += QStringLiteral("<b><font color=\"%1\">").arg(m_accent) +
                  styledPart(title, range.start, range.start + range.length) +
                  QStringLiteral("</font></b>");
        cursor = range.start + range.length;
    }
    markup += styledPart(title, cursor, title.size());
    return markup;
}

QVariant SearchModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        !ready())
        return {};
    const TodoItemPtr &item = m_rows[index.row()];
    switch (role) {
    case TodoRole:
        return QVariant::fromValue(exposeToQml(item));
    case TodoIdRole:
        return item->id().toString(QUuid::WithoutBraces);
    case StatusRole:
        return m_environment->formatter().status(*item);
    case TitleMarkupRole:
        return titleMarkup(*item);
    case TitleRole:
        return Formatter::title(item->title());
    default:
        return {};
    }
}

QHash<int, QByteArray> SearchModel::roleNames() const {
    return {{TodoRole, "todo"},
            {TodoIdRole, "todoId"},
            {StatusRole, "status"},
            {TitleMarkupRole, "titleMarkup"},
            {TitleRole, "displayTitle"}};
}

QObject *SearchModel::todoAt(int row) const {
    if (row < 0 || row >= m_rows.size())
        return nullptr;
    return exposeToQml(m_rows[row]);
}

int SearchModel::indexOfId(const QString &id) const {
    const QUuid uuid = QUuid::fromString(id);
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i]->id() == uuid)
            return int(i);
    }
    return -1;
}

} // namespace qb
