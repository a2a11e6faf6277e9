#pragma once

#include "model/todoitem.h"

#include <QObject>
#include <QPointer>
#include <QRect>

#include <qqmlregistration.h>

#include "app/environment.h"
#include "navigation/approuter.h"
Q_MOC_INCLUDE("navigation/composer.h")
#include "preferences/preferences.h"
#include "store/modelcontext.h"
#include "tasks/undocenter.h"

namespace qb {

class AppRouter;
class Composer;
class Environment;
class ModelContext;
class Preferences;
class UndoCenter;
struct TaskServices;

// What one main window remembers: its perspective (stored per window), the selected to-do,
// the search text and its composer; and the window's commands that act on to-dos.
class MainWindowState : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(
        qb::UndoCenter *undoCenter READ undoCenter WRITE setUndoCenter NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::AppRouter *router READ router WRITE setRouter NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Preferences *preferences READ preferences WRITE setPreferences NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(int windowIndex READ windowIndex WRITE setWindowIndex NOTIFY windowIndexChanged)
    Q_PROPERTY(QString perspective READ perspective WRITE setPerspective NOTIFY perspectiveChanged)
    Q_PROPERTY(QObject *selectedTodo READ selectedTodo NOTIFY selectedTodoChanged)
    Q_PROPERTY(QString selectedTodoId READ selectedTodoId NOTIFY selectedTodoChanged)
    Q_PROPERTY(QString searchQuery READ searchQuery WRITE setSearchQuery NOTIFY searchQueryChanged)
    Q_PROPERTY(bool searching READ searching NOTIFY searchQueryChanged)
    Q_PROPERTY(qb::Composer *composer READ composer CONSTANT)

public:
    static constexpr auto frameAutosaveName = "QuillbrookMainWindow";

    explicit MainWindowState(QObject *parent = nullptr);
    ~MainWindowState() override;

    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);
    UndoCenter *undoCenter() const { return m_undoCenter; }
    void setUndoCenter(UndoCenter *undoCenter);
    AppRouter *router() const { return m_router; }
    // An opened URL is followed as it arrives.
    void setRouter(AppRouter *router);
    Preferences *preferences() const { return m_preferences; }
    void setPreferences(Preferences *preferences);
    int windowIndex() const { return m_windowIndex; }
    void setWindowIndex(int index);
    QString perspective() const { return m_perspective; }
    // Clears the selected to-do and stores the perspective for this window.
    void setPerspective(const QString &raw);
    QObject *selectedTodo() const;
    QString selectedTodoId() const;
    QString searchQuery() const { return m_searchQuery; }
    void setSearchQuery(const QString &query);
    bool searching() const { return !m_searchQuery.trimmed().isEmpty(); }
    Composer *composer() const { return m_composer; }

    // Reads the stored perspective, or for a window that never stored one the "Open to"
    // choice; the window calls it once when it first shows.
    Q_INVOKABLE void restorePerspective();
    Q_INVOKABLE void navigateTo(QObject *todo);
    Q_INVOKABLE void clearSelection();
    // The selected to-do, unless it has been deleted meanwhile.
    Q_INVOKABLE bool hasLiveSelection() const;
    // "New To-Do": open the draft row of Today or Later; on Done add an empty to-do to Today
    // at once, with an offer to take it back.
    Q_INVOKABLE void newTodo();
    // Acts on the router's pending route, then clears it.
    Q_INVOKABLE void followRoute();
    // Shows the to-do with this id selected in the perspective it belongs to (Today, Later or
    // Done), leaving any search. False, changing nothing, when no such to-do exists.
    Q_INVOKABLE bool openTodo(const QString &id);

    // Asks for "Delete this to-do?" with the message for where it was asked: a list row names
    // the to-do; the detail pane speaks of its subtasks too.
    Q_INVOKABLE void requestDelete(QObject *todo, bool fromDetail = false);
    // The confirmed delete: the to-do goes with its subtasks and log, with an undo offer.
    Q_INVOKABLE void deleteTodo(QObject *todo);
    // Return or F2 on a row: the to-do shows in the detail pane with its title being edited.
    Q_INVOKABLE void editTitle(QObject *todo);
    // Editing in the detail pane is over: the keyboard goes back to the list.
    Q_INVOKABLE void returnToList();

    // The window frame saved under the autosave name; null when none was saved.
    Q_INVOKABLE QRect savedFrame() const;
    Q_INVOKABLE void saveFrame(const QRect &frame) const;

signals:
    void dependenciesChanged();
    void windowIndexChanged();
    void perspectiveChanged();
    void selectedTodoChanged();
    void searchQueryChanged();
    // The draft row of the current list should open and take focus.
    void draftRequested();
    void deleteRequested(QObject *todo, const QString &message);
    void titleEditRequested();
    void listFocusRequested();

private:
    TaskServices services() const;

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    QPointer<UndoCenter> m_undoCenter;
    QPointer<AppRouter> m_router;
    QPointer<Preferences> m_preferences;
    int m_windowIndex = 0;
    QString m_perspective = QStringLiteral("today");
    TodoItemPtr m_selectedTodo;
    QString m_searchQuery;
    Composer *m_composer;
};

} // namespace qb
