#pragma once

#include "model/todopredicate.h"
#include "todorowsmodel.h"

#include <QPointer>

#include <memory>

Q_MOC_INCLUDE("app/quillbrookapp.h")

namespace qb {

class LiveQuery;
class QuillbrookApp;

// Completed to-dos, newest completion first, in one section per day of completion. Years of
// completed to-dos are loaded a page at a time as the view scrolls; the rows loaded so far
// stay live.
class DoneModel : public TodoRowsModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::QuillbrookApp *app READ app WRITE setApp NOTIFY appChanged)

public:
    explicit DoneModel(QObject *parent = nullptr);
    ~DoneModel() override;

    QuillbrookApp *app() const { return m_app; }
    void setApp(QuillbrookApp *app);

    static constexpr int pageSize = 200;

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The row's circle: reopens the to-do, which then leaves this list.
    Q_INVOKABLE void reopen(QObject *todo);

signals:
    void appChanged();

private:
    void rebuildRows(const QSet<const TodoItem *> &changed = {});
    TodoFetch fetchFor(int rows) const;

    QPointer<QuillbrookApp> m_app;
    std::unique_ptr<LiveQuery> m_items;
    int m_wanted = pageSize; // rows asked for; one more tells whether another page exists
};

} // namespace qb
