// Runs the QML test cases against the app's real QML module and application object, over a
// store in a temporary folder. Completions wait a tenth of their real delay.
#include "app/appruntime.h"
#include "app/environment.h"
#include "app/quillbrookapp.h"
#include "base/singleshottimer.h"
#include "models/todorowsmodel.h"
#include "preferences/preferences.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "storefixture.h"
#include "tasks/undocenter.h"
#include "temphome.h"
#include "viewmodels/completionqueue.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QSettings>
#include <QtQuickTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

namespace {

class ShortenedTimer final : public qb::SingleShotTimer {
public:
    void start(std::chrono::milliseconds delay, std::function<void()> action) override {
        m_timer.start(delay / 10, std::move(action));
    }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    qb::QtSingleShotTimer m_timer;
};

// What the QML cases need beyond the UI: setting up to-dos and reading the store. The to-dos
// handed in are ones it handed out.
class StoreProbe : public QObject {
    Q_OBJECT

public:
    explicit StoreProbe(qb::AppRuntime &runtime)
        : m_runtime(runtime) {}

    // No to-dos, no undo offer.
    Q_INVOKABLE void reset() {
        for (const auto &item : all())
            tasks().remove(item);
        m_runtime.app().undoCenter()->dismiss();
        m_held.clear();
    }
    // `days` from today: 0 today, -1 yesterday, 1 tomorrow; undefined for an undated to-do.
    Q_INVOKABLE QObject *add(const QString &title, const QVariant &days = {}) {
        return held(days.isValid() ? tasks().add(title, day(days.toInt()))
                                   : tasks().add(title, qb::TodoList::Later));
    }
    Q_INVOKABLE void schedule(QObject *todo, int days) {
        tasks().schedule(shared(todo), day(days));
    }
    Q_INVOKABLE void setNotes(QObject *todo, const QString &notes) {
        tasks().setNotes(shared(todo), notes);
    }
    Q_INVOKABLE void addSubtask(QObject *todo, const QString &title) {
        tasks().addSubtask(shared(todo), title);
    }
    // Reschedules and renames the to-do through a connection of its own, as the client does
    // from another process; the app sees it at its next look for remote changes.
    Q_INVOKABLE void editElsewhere(QObject *todo, int days, const QString &title) {
        auto other = m_runtime.container().newContext();
        if (!other)
            qFatal("Store: no second connection");
        qb::TodoFetch request;
        request.predicate = qb::TodoPredicate::idEquals(shared(todo)->id());
        for (const auto &found : other.value()->fetch(request).valueOr({})) {
            found->setScheduledDate(day(days));
            found->setTitle(title);
        }
        other.value()->save();
    }
    // The to-do's subtask titles in display order.
    Q_INVOKABLE QStringList subtaskTitles(QObject *todo) {
        return qb::test::each(shared(todo)->orderedSubtasks(), &qb::Subtask::title);
    }
    // Days from today to the to-do's day; undefined for an undated one.
    Q_INVOKABLE QVariant dayOffset(QObject *todo) {
        const QDateTime date = shared(todo)->scheduledDate();
        if (!date.isValid())
            return {};
        return int(day(0).daysTo(m_runtime.environment().calendar().startOfDay(date)));
    }
    // Every to-do, oldest first.
    Q_INVOKABLE QList<QObject *> todos() {
        return qb::test::each(all(), [this](const qb::TodoItemPtr &item) { return held(item); });
    }
    // How often the to-do's log says it was completed.
    Q_INVOKABLE int completions(QObject *todo) {
        const auto kinds = qb::test::each(shared(todo)->changes(), &qb::ChangeEntry::kind);
        return int(kinds.count(qb::ChangeKind::Completed));
    }

private:
    qb::TaskStore tasks() { return m_runtime.taskStore(); }
    QDateTime day(int days) { return m_runtime.environment().today().addDays(days); }
    QList<qb::TodoItemPtr> all() {
        qb::TodoFetch request;
        request.sort = {{qb::TodoSort::Field::CreatedAt, true}};
        return m_runtime.app().context()->fetch(request).valueOr({});
    }
    // The store holds saved records weakly; QML gets a plain pointer.
    QObject *held(const qb::TodoItemPtr &item) {
        m_held.append(item);
        return qb::exposeToQml(item);
    }
    static qb::TodoItemPtr shared(QObject *todo) {
        auto *item = qobject_cast<qb::TodoItem *>(todo);
        if (!item)
            qFatal("Store: not a to-do");
        return std::static_pointer_cast<qb::TodoItem>(item->shared_from_this());
    }

    qb::AppRuntime &m_runtime;
    QList<qb::TodoItemPtr> m_held;
};

class Setup : public QObject {
    Q_OBJECT

public slots:
    void applicationAvailable() {
        QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
        QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        // Read once when the updater is made: checks go to a feed offering version 99.1.
        QSettings(qb::Preferences::standardFilePath(), QSettings::IniFormat)
            .setValue(QStringLiteral("updateFeedUrl"),
                      QUrl::fromLocalFile(QStringLiteral(QUICK_TEST_SOURCE_DIR "/data/appcast.xml"))
                          .toString());
        m_runtime = std::make_unique<qb::AppRuntime>(
            QStringList{QStringLiteral("quillbrook")}, qb::persistence::storeFolder(),
            qb::Calendar(QStringLiteral("en_US"), QStringLiteral("America/New_York")),
            qb::Clock::system());
        m_runtime->app().completions()->setTimerFactory(
            [] { return std::make_unique<ShortenedTimer>(); });
        m_probe = std::make_unique<StoreProbe>(*m_runtime);
        qmlRegisterSingletonInstance("QuillbrookTest", 1, 0, "Store", m_probe.get());
    }
    void qmlEngineAvailable(QQmlEngine *engine) { engine->addImportPath(QStringLiteral("qrc:/")); }
    void cleanupTestCase() {
        m_probe.reset();
        m_runtime.reset();
    }

private:
    qb::test::TemporaryHome m_home;
    std::unique_ptr<qb::AppRuntime> m_runtime;
    std::unique_ptr<StoreProbe> m_probe;
};

} // namespace

QUICK_TEST_MAIN_WITH_SETUP(quillbrook_qml, Setup)

#include "quicktest_setup.moc"
