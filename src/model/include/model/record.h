#pragma once

#include <QObject>

#include <memory>

namespace qb {

class Record;
class TodoItem;

// What a record needs from the context that owns it: change tracking and lazy relations.
// Implemented by the store's model context.
class RecordContext {
public:
    virtual void recordDidChange(Record &record) = 0;
    virtual void loadSubtasks(TodoItem &item) = 0;
    virtual void loadChanges(TodoItem &item) = 0;
    // A subtask or entry linked to a to-do of this context joins the context too.
    virtual void adoptRelated(const std::shared_ptr<Record> &record) = 0;

protected:
    ~RecordContext() = default;
};

// Base of the three stored record types. Records are shared: a view, an undo value and the
// context's identity map may all hold one, and a deleted record stays a valid object that
// reports it no longer belongs to a context. Equality is identity (compare the pointers).
class Record : public QObject, public std::enable_shared_from_this<Record> {
    Q_OBJECT
    Q_PROPERTY(bool isInContext READ isInContext NOTIFY contextStateChanged)

public:
    ~Record() override;

    bool isInContext() const { return m_context != nullptr && !m_deleted; }
    bool isDeleted() const { return m_deleted; }

    // The store's private row key; 0 until a context takes the record.
    qint64 storageKey() const { return m_storageKey; }

signals:
    void contextStateChanged();

protected:
    Record() = default;
    void didChange();
    RecordContext *context() const { return m_context; }

    // Stores `value`; only when it differs, tells the context and emits `changed`.
    template <typename Self, typename T>
    void setField(T &field, const T &value, void (Self::*changed)()) {
        if (field == value)
            return;
        field = value;
        notifyChanged<Self>(changed);
    }

    // As setField, for optional texts, where absent (null) and empty are different values.
    template <typename Self>
    void setNullableText(QString &field, const QString &value, void (Self::*changed)()) {
        if (field == value && field.isNull() == value.isNull())
            return;
        field = value;
        notifyChanged<Self>(changed);
    }

private:
    template <typename Self> void notifyChanged(void (Self::*changed)()) {
        didChange();
        (static_cast<Self *>(this)->*changed)();
    }

    friend class ModelContext;
    friend class RecordAccess;

    RecordContext *m_context = nullptr;
    qint64 m_storageKey = 0;
    bool m_deleted = false;
    bool m_trackingSuspended = false; // while the store fills fields read from disk
};

} // namespace qb
