#pragma once

#include "todorowsmodel.h"

#include <QPointer>

#include <memory>

Q_MOC_INCLUDE("app/quillbrookapp.h")

namespace qb {

class LiveQuery;
class QuillbrookApp;

// Completed to-dos, newest completion first, in one section per day of completion.
class DoneModel : public TodoRowsModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::QuillbrookApp *app READ app WRITE setApp NOTIFY appChanged)

public:
    explicit DoneModel(QObject *parent = nullptr);
    ~DoneModel() override;

    QuillbrookApp *app() const { return m_app; }
    void setApp(QuillbrookApp *app);

    // The row's circle: reopens the to-do, which then leaves this list.
    Q_INVOKABLE void reopen(QObject *todo);

signals:
    void appChanged();

private:
    void rebuildRows();

    QPointer<QuillbrookApp> m_app;
    std::unique_ptr<LiveQuery> m_items;
};

} // namespace qb
