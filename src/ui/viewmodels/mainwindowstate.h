#pragma once

#include "model/todoitem.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <qqmlregistration.h>

Q_MOC_INCLUDE("app/quillbrookapp.h")
Q_MOC_INCLUDE("navigation/composer.h")

namespace qb {

class Composer;
class QuillbrookApp;

// What one main window remembers: its perspective (stored per window), the selected to-do,
// the search text, its reference day and its composer. Shared objects come from the app.
class MainWindowState : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::QuillbrookApp *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(int windowIndex READ windowIndex WRITE setWindowIndex NOTIFY windowIndexChanged)
    Q_PROPERTY(QString perspective READ perspective WRITE setPerspective NOTIFY perspectiveChanged)
    Q_PROPERTY(QObject *selectedTodo READ selectedTodo NOTIFY selectedTodoChanged)
    Q_PROPERTY(QString selectedTodoId READ selectedTodoId NOTIFY selectedTodoChanged)
    Q_PROPERTY(QString searchQuery READ searchQuery WRITE setSearchQuery NOTIFY searchQueryChanged)
    Q_PROPERTY(bool searching READ searching NOTIFY searchQueryChanged)
    Q_PROPERTY(QDateTime referenceDay READ referenceDay NOTIFY referenceDayChanged)
    Q_PROPERTY(qb::Composer *composer READ composer CONSTANT)

public:
    static constexpr auto frameAutosaveName = "QuillbrookMainWindow";

    explicit MainWindowState(QObject *parent = nullptr);
    ~MainWindowState() override;

    QuillbrookApp *app() const { return m_app; }
    void setApp(QuillbrookApp *app);
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
    QDateTime referenceDay() const { return m_referenceDay; }
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
    // Recomputes the start of today; a new day rebuilds the lists.
    Q_INVOKABLE void refreshReferenceDay();
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
    void appChanged();
    void windowIndexChanged();
    void perspectiveChanged();
    void selectedTodoChanged();
    void searchQueryChanged();
    void referenceDayChanged();
    // The draft row of the current list should open and take focus.
    void draftRequested();
    void deleteRequested(QObject *todo, const QString &message);
    void titleEditRequested();
    void listFocusRequested();

private:
    QPointer<QuillbrookApp> m_app;
    int m_windowIndex = 0;
    QString m_perspective = QStringLiteral("today");
    TodoItemPtr m_selectedTodo;
    QString m_searchQuery;
    QDateTime m_referenceDay;
    Composer *m_composer;
};

} // namespace qb
