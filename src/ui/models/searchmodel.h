#pragma once

#include <QPointer>

#include <qqmlregistration.h>

#include <memory>

#include "diffinglistmodel.h"
#include "model/todoitem.h"

#include "app/environment.h"
#include "store/modelcontext.h"

namespace qb {

class Environment;
class ModelContext;

// Quick Find results: every to-do whose title or notes contain the query, open ones first,
// newest first. Rows are fetched a page at a time as the view scrolls, so a query that matches
// tens of thousands of to-dos shows its first rows at once.
class SearchModel : public DiffingListModel<TodoItemPtr> {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(QString trimmedQuery READ trimmedQuery NOTIFY queryChanged)
    Q_PROPERTY(int count READ countProperty NOTIFY countChanged)
    Q_PROPERTY(bool isEmpty READ isEmpty NOTIFY countChanged)
    // Colour of the emphasised matches, as a CSS colour ("#0a84ff").
    Q_PROPERTY(QString accent READ accent WRITE setAccent NOTIFY accentChanged)

public:
    enum Role { TodoRole = Qt::UserRole + 1, TodoIdRole, StatusRole, TitleMarkupRole, TitleRole };
    static constexpr int pageSize = 100;

    explicit SearchModel(QObject *parent = nullptr);
    ~SearchModel() override;

    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);
    QString query() const { return m_query; }
    void setQuery(const QString &query);
    QString trimmedQuery() const;
    QString accent() const { return m_accent; }
    void setAccent(const QString &accent);
    int countProperty() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty() && !m_more; }

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    Q_INVOKABLE QObject *todoAt(int row) const;
    // The row of the to-do with this id; -1 when it is not among the loaded rows.
    Q_INVOKABLE int indexOfId(const QString &id) const;
    // The display title as rich text with the matches emphasised in `accent`.
    QString titleMarkup(const TodoItem &item) const;

signals:
    void dependenciesChanged();
    void queryChanged();
    void countChanged();
    void accentChanged();

private:
    void reload();
    void refresh();
    QList<TodoItemPtr> fetchPage(int offset, int limit, bool *more) const;

    bool ready() const { return m_context && m_environment; }

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    QString m_query;
    QString m_accent = QStringLiteral("#0a84ff");
    bool m_more = false;
};

} // namespace qb
