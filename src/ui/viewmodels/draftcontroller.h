#pragma once

#include "keyboard/focusleave.h"
#include "model/todolist.h"

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

#include <chrono>
#include <memory>

#include "app/environment.h"
Q_MOC_INCLUDE("navigation/composer.h")
#include "store/modelcontext.h"

namespace qb {

class Composer;
class Environment;
class ModelContext;
class SingleShotTimer;

// The inline draft row of a task list. Return commits; leaving the field commits after a
// short grace period unless focus comes back first. A commit adds at most one to-do (none
// for a blank draft), clears the text and closes the draft row.
class DraftController : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(qb::Composer *composer READ composer WRITE setComposer NOTIFY composerChanged)
    Q_PROPERTY(QString list READ listRaw WRITE setListRaw NOTIFY listChanged)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(bool focused READ focused WRITE setFocused NOTIFY focusedChanged)
    Q_PROPERTY(bool open READ isOpen NOTIFY openChanged)

public:
    static constexpr std::chrono::milliseconds commitDelay{200};

    explicit DraftController(QObject *parent = nullptr);
    ~DraftController() override;

    void setTimer(std::unique_ptr<SingleShotTimer> timer);

    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);
    Composer *composer() const { return m_composer; }
    void setComposer(Composer *composer);
    QString listRaw() const { return rawValue(m_list); }
    void setListRaw(const QString &raw);
    QString text() const { return m_text; }
    void setText(const QString &text);
    bool focused() const { return m_leave.hasFocus(); }
    void setFocused(bool focused);
    // The draft row shows while the composer adds to this list.
    bool isOpen() const;

    Q_INVOKABLE void commit();
    // The list (or its window) goes away: a draft with text is committed, never dropped; an
    // empty one is left as it is.
    Q_INVOKABLE void commitTyped();
    // Escape: an empty draft closes; one with text stays for its commit.
    Q_INVOKABLE void cancel();

signals:
    void dependenciesChanged();
    void composerChanged();
    void listChanged();
    void textChanged();
    void focusedChanged();
    void openChanged();

private:
    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    QPointer<Composer> m_composer;
    TodoList m_list = TodoList::Today;
    QString m_text;
    FocusLeave m_leave;
};

} // namespace qb
