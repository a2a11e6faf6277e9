#pragma once

#include "model/changekind.h"
#include "model/record.h"

#include <QDateTime>
#include <QUuid>

namespace qb {

class TodoItem;

// One line of a to-do's change log.
class ChangeEntry : public Record {
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id NOTIFY idChanged)
    Q_PROPERTY(QDateTime timestamp READ timestamp NOTIFY timestampChanged)
    Q_PROPERTY(QString kindRaw READ kindRaw NOTIFY kindRawChanged)
    Q_PROPERTY(QString detail READ detail NOTIFY detailChanged)
    Q_PROPERTY(QString kindTitle READ kindTitle NOTIFY kindRawChanged)
    Q_PROPERTY(QString kindSymbol READ kindSymbol NOTIFY kindRawChanged)

public:
    // A null detail is an absent one.
    ChangeEntry(ChangeKind kind, const QString &detail, const QDateTime &timestamp,
                const QUuid &id = QUuid::createUuid());

    QUuid id() const { return m_id; }
    void setId(const QUuid &id);
    QDateTime timestamp() const { return m_timestamp; }
    void setTimestamp(const QDateTime &timestamp);
    QString kindRaw() const { return m_kindRaw; }
    void setKindRaw(const QString &kindRaw);
    QString detail() const { return m_detail; }
    bool hasDetail() const { return !m_detail.isNull(); }
    void setDetail(const QString &detail);

    ChangeKind kind() const { return changeKindFromRaw(m_kindRaw); }
    QString kindTitle() const { return title(kind()); }
    QString kindSymbol() const { return symbolName(kind()); }

    std::shared_ptr<TodoItem> item() const { return m_item.lock(); }

signals:
    void idChanged();
    void timestampChanged();
    void kindRawChanged();
    void detailChanged();
    void itemChanged();

private:
    friend class TodoItem;
    friend class RecordAccess;

    QUuid m_id;
    QDateTime m_timestamp;
    QString m_kindRaw;
    QString m_detail;
    std::weak_ptr<TodoItem> m_item;
    // The owner's row key, kept for when nothing holds the owner object any more.
    qint64 m_itemKey = 0;
};

using ChangeEntryPtr = std::shared_ptr<ChangeEntry>;

} // namespace qb
