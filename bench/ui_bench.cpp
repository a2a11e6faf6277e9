// Times the real QML UI, offscreen, on an empty store and on generated stores of 1,000 and
// 100,000 to-dos: start-up to the first frame, switching perspectives, the list refresh after
// completing a to-do, and a search keystroke, each up to the next swapped frame.
//
// Every run is a process of its own (this program re-started with --child), so start-up
// includes opening the store. The parent generates the stores once, adds a few dozen to-dos
// with a word found nowhere else (so one search matches a few dozen to-dos), collects the
// children's samples and prints the median of each figure.
//
//   ui_bench [--repetitions N] [--sizes 0,1000,100000] [--store-cache DIR]
//
// --store-cache keeps the generated stores in DIR across runs (they are made when missing).
#include "storegenerator.h"

#include "app/appruntime.h"
#include "app/environment.h"
#include "app/quillbrookapp.h"
#include "model/stockqueries.h"
#include "model/todoitem.h"
#include "searchmodel.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "tasklistmodel.h"
#include "viewmodels/mainwindowstate.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

namespace {

using namespace qb;

constexpr auto childFlag = "--child";
// Found in no generated title or note; the parent adds rareWordCount to-dos that mention it.
constexpr auto rareWord = "quokka";
constexpr int rareWordCount = 36;
// In most generated titles ("Call the dentist", "Pay the invoice for the plumber").
constexpr auto commonWord = "the";
constexpr int samplesPerChild = 3;
constexpr int frameTimeoutMs = 10000;

// ---------------------------------------------------------------------------------------------
// Child: one start-up and a few of each interaction, printed as "sample NAME MILLISECONDS".

class FrameWatch {
public:
    FrameWatch() { m_clock.start(); }

    void attach(QQuickWindow *window) {
        m_window = window;
        // Direct: the moment is read where the frame is swapped, whichever thread renders.
        QObject::connect(
            window, &QQuickWindow::frameSwapped, window,
            [this] {
                m_lastFrameNs.store(m_clock.nsecsElapsed());
                m_frames.fetch_add(1);
            },
            Qt::DirectConnection);
    }

    qint64 now() const { return m_clock.nsecsElapsed(); }
    int frames() const { return m_frames.load(); }
    qint64 lastFrameNs() const { return m_lastFrameNs.load(); }

    // Runs the event loop until a frame after the first `count` frames has been swapped.
    bool waitForFrameAfter(int count) {
        if (frames() > count)
            return true;
        QEventLoop loop;
        QObject::connect(m_window, &QQuickWindow::frameSwapped, &loop, [&] {
            if (frames() > count)
                loop.quit();
        });
        QTimer::singleShot(frameTimeoutMs, &loop, &QEventLoop::quit);
        if (frames() <= count)
            loop.exec();
        return frames() > count;
    }

private:
    QElapsedTimer m_clock;
    QQuickWindow *m_window = nullptr;
    std::atomic<int> m_frames{0};
    std::atomic<qint64> m_lastFrameNs{0};
};

void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double toMs(qint64 nanoseconds) {
    return double(nanoseconds) / 1e6;
}

void printSample(const char *name, double milliseconds) {
    std::printf("sample %s %.3f\n", name, milliseconds);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString &message) {
    std::fprintf(stderr, "ui_bench child: %s\n", qPrintable(message));
    std::exit(EXIT_FAILURE);
}

TodoItemPtr firstToday(QuillbrookApp &app) {
    TodoFetch request;
    const Environment &environment = *app.environment();
    request.predicate = stockqueries::todayList(environment.now(), environment.calendar());
    request.sort = {{TodoSort::Field::SortOrder, true}};
    request.limit = 1;
    const auto items = app.context()->fetch(request).valueOr({});
    return items.isEmpty() ? nullptr : items.first();
}

// Times `action` up to the next frame swapped after it returned.
double timeToNextFrame(FrameWatch &watch, const std::function<void()> &action, const char *what) {
    const qint64 start = watch.now();
    action();
    const int before = watch.frames();
    if (!watch.waitForFrameAfter(before))
        fail(QStringLiteral("no frame after %1").arg(QLatin1String(what)));
    return toMs(watch.lastFrameNs() - start);
}

int runChild(int argc, char *argv[], const QString &sourceStore) {
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quillbrook-uibench-XXXXXX"));
    if (!home.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QDir root(home.path());
    for (const char *folder : {"data", "config", "runtime"})
        root.mkpath(QLatin1String(folder));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", root.filePath(QStringLiteral("runtime")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QGuiApplication application(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    const QString storeFolder = persistence::storeFolder();
    if (!sourceStore.isEmpty() && !QFile::copy(sourceStore, persistence::storePath(storeFolder)))
        fail(QStringLiteral("cannot copy %1 into %2").arg(sourceStore, storeFolder));

    FrameWatch watch;
    const qint64 start = watch.now();
    std::optional<AppRuntime> runtime;
    runtime.emplace(QStringList{QStringLiteral("quillbrook"), QStringLiteral("-cloudKitDisabled")},
                    storeFolder, bench::referenceCalendar(), Clock::fixed(bench::referenceNow()));
    const qint64 runtimeBuilt = watch.now();
    QuillbrookApp &app = runtime->app();

    QQmlApplicationEngine engine;
    QQuickWindow *window = nullptr;
    // Attached as soon as the window exists: no frame can be swapped before.
    QObject::connect(&engine, &QQmlApplicationEngine::objectCreated, &engine,
                     [&](QObject *object, const QUrl &) {
                         if (auto *created = qobject_cast<QQuickWindow *>(object);
                             created && !window) {
                             window = created;
                             watch.attach(window);
                         }
                     });
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.load(QUrl(QStringLiteral("qrc:/Quillbrook/qml/Main.qml")));
    const qint64 loaded = watch.now();
    if (!window)
        fail(QStringLiteral("Main.qml made no window"));
    if (!watch.waitForFrameAfter(0))
        fail(QStringLiteral("no first frame"));
    printSample("startup", toMs(watch.lastFrameNs() - start));
    printSample("startup.runtime", toMs(runtimeBuilt - start));
    printSample("startup.load", toMs(loaded - runtimeBuilt));
    printSample("startup.frame", toMs(watch.lastFrameNs() - loaded));

    auto *state = window->findChild<MainWindowState *>();
    if (!state)
        fail(QStringLiteral("no MainWindowState"));
    settle(500);

    // Perspectives, in the order a user clicks through them.
    for (int round = 0; round < samplesPerChild; ++round) {
        for (const char *perspective : {"later", "done", "today"}) {
            const QString name = QString::fromLatin1(perspective);
            const double ms = timeToNextFrame(
                watch, [&] { state->setPerspective(name); }, perspective);
            printSample(qPrintable(QStringLiteral("switch.") + name), ms);
            settle(400);
        }
    }

    // Completing a to-do of Today: the save, the model's rebuild, then the frame showing it.
    for (int round = 0; round < samplesPerChild; ++round) {
        const TodoItemPtr item = firstToday(app);
        auto *model = window->findChild<TaskListModel *>();
        if (!item || !model)
            break; // the empty store has nothing to complete
        const qint64 begin = watch.now();
        qint64 rebuiltAt = -1;
        int framesAtRebuild = 0;
        const auto connection = QObject::connect(model, &TaskListModel::rowsRebuilt, model, [&] {
            rebuiltAt = watch.now();
            framesAtRebuild = watch.frames();
        });
        app.environment()->taskStore(*app.context()).toggleCompletion(item);
        const qint64 saved = watch.now();
        if (rebuiltAt < 0) {
            QEventLoop loop;
            QObject::connect(model, &TaskListModel::rowsRebuilt, &loop, &QEventLoop::quit);
            QTimer::singleShot(frameTimeoutMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        QObject::disconnect(connection);
        if (rebuiltAt < 0)
            fail(QStringLiteral("the Today list did not rebuild after a completion"));
        if (!watch.waitForFrameAfter(framesAtRebuild))
            fail(QStringLiteral("no frame after a completion"));
        printSample("refresh", toMs(watch.lastFrameNs() - begin));
        printSample("refresh.save", toMs(saved - begin));
        printSample("refresh.model", toMs(rebuiltAt - begin));
        settle(600);
    }

    // Search: the first keystroke turns the list into results; a later one only re-queries.
    for (int round = 0; round < samplesPerChild; ++round) {
        for (const char *word : {rareWord, commonWord}) {
            const QString query = QString::fromLatin1(word);
            const QString tag =
                qstrcmp(word, rareWord) == 0 ? QStringLiteral("rare") : QStringLiteral("common");
            const double first = timeToNextFrame(
                watch, [&] { state->setSearchQuery(query); }, word);
            auto *results = window->findChild<SearchModel *>();
            if (!results)
                fail(QStringLiteral("no search results"));
            printSample(qPrintable(QStringLiteral("search.open.") + tag), first);
            printSample(qPrintable(QStringLiteral("search.rows.") + tag), results->rowCount());
            settle(300);
            // Backspace, then the last letter again: each keystroke while results are shown.
            const double erase = timeToNextFrame(
                watch, [&] { state->setSearchQuery(query.chopped(1)); }, word);
            settle(300);
            const double retype = timeToNextFrame(
                watch, [&] { state->setSearchQuery(query); }, word);
            printSample(qPrintable(QStringLiteral("search.key.") + tag), erase);
            printSample(qPrintable(QStringLiteral("search.key.") + tag), retype);
            settle(300);
            state->setSearchQuery(QString());
            settle(400);
        }
    }
    return EXIT_SUCCESS;
}

// ---------------------------------------------------------------------------------------------
// Parent: stores, children, table.

// Adds rareWordCount completed to-dos that mention rareWord, in the title or in the notes.
Status addRareWordTodos(const QString &path) {
    auto container = ModelContainer::open(bench::storeConfiguration(path));
    if (!container)
        return Status::failure(container.message());
    ModelContext &context = container.value()->mainContext();
    const QDateTime now = bench::referenceNow();
    for (int index = 0; index < rareWordCount; ++index) {
        const QDateTime createdAt = now.addDays(-40 * (index + 1));
        const bool inTitle = index % 3 != 0;
        auto item = std::make_shared<TodoItem>(
            inTitle ? QStringLiteral("Renew the %1 sanctuary pass").arg(QLatin1String(rareWord))
                    : QStringLiteral("Write to the zoo"),
            TodoList::Later, QDateTime(), -1.0 - index, createdAt);
        if (!inTitle)
            item->setNotes(QStringLiteral("Ask whether the %1 enclosure is open.")
                               .arg(QLatin1String(rareWord)));
        item->setCompleted(true);
        item->setCompletedAt(createdAt.addDays(2));
        context.insert(item);
    }
    return context.save();
}

// The store of `todoCount` to-dos in `folder`, generated (with the rare word added) if missing.
QString preparedStore(const QDir &folder, int todoCount) {
    const QString path = folder.filePath(QStringLiteral("ui-todos-%1.store").arg(todoCount));
    if (QFileInfo::exists(path))
        return path;
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    std::fprintf(stderr, "Generating %d to-dos...\n", todoCount);
    QElapsedTimer timer;
    timer.start();
    if (auto status = bench::generateStore(partial, todoCount); !status)
        fail(status.message());
    if (auto status = addRareWordTodos(partial); !status)
        fail(status.message());
    if (!QFile::rename(partial, path))
        fail(QStringLiteral("cannot rename %1").arg(partial));
    std::fprintf(stderr, "Generated %d to-dos in %.1f s\n", todoCount,
                 double(timer.elapsed()) / 1000);
    return path;
}

using Samples = QMap<QString, std::vector<double>>;

Samples runOne(const QString &program, const QString &store) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(program, {QLatin1String(childFlag), store});
    if (!child.waitForFinished(300000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        fail(QStringLiteral("a measuring run failed (store %1)")
                 .arg(store.isEmpty() ? QStringLiteral("empty") : store));
    Samples samples;
    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && fields[0] == "sample")
            samples[QString::fromLatin1(fields[1])].push_back(fields[2].toDouble());
    }
    return samples;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString cell(const Samples &samples, const QString &name) {
    const auto found = samples.constFind(name);
    if (found == samples.cend() || found->empty())
        return QStringLiteral("—");
    const auto [low, high] = std::minmax_element(found->begin(), found->end());
    return QStringLiteral("%1 (%2-%3)")
        .arg(median(*found), 0, 'f', 1)
        .arg(*low, 0, 'f', 1)
        .arg(*high, 0, 'f', 1);
}

int runParent(const QStringList &arguments) {
    int repetitions = 5;
    QList<int> sizes = {0, 1000, 100000};
    QString cacheFolder;
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString &option = arguments[i];
        const QString &value = arguments[i + 1];
        if (option == u"--repetitions") {
            repetitions = std::max(1, value.toInt());
        } else if (option == u"--sizes") {
            sizes.clear();
            for (const QString &size : value.split(u','))
                sizes.append(size.toInt());
        } else if (option == u"--store-cache") {
            cacheFolder = value;
        } else {
            std::fprintf(stderr, "usage: ui_bench [--repetitions N] [--sizes 0,1000,100000] "
                                 "[--store-cache DIR]\n");
            return 2;
        }
    }
    QTemporaryDir temporary(QDir::tempPath() + QStringLiteral("/quillbrook-uibench-XXXXXX"));
    if (cacheFolder.isEmpty())
        cacheFolder = temporary.path();
    QDir().mkpath(cacheFolder);
    const QDir cache(cacheFolder);

    const QString program = QCoreApplication::applicationFilePath();
    QMap<int, Samples> results;
    for (int size : sizes) {
        const QString store = size > 0 ? preparedStore(cache, size) : QString();
        Samples &merged = results[size];
        for (int run = 0; run < repetitions; ++run) {
            std::fprintf(stderr, "\r%d to-dos: run %d of %d", size, run + 1, repetitions);
            const Samples samples = runOne(program, store);
            for (auto it = samples.cbegin(); it != samples.cend(); ++it)
                merged[it.key()].insert(merged[it.key()].end(), it->begin(), it->end());
        }
        std::fprintf(stderr, "\n");
    }

    struct Row {
        const char *name;
        const char *label;
    };
    const Row rows[] = {
        {"startup", "start-up to first frame"},
        {"startup.runtime", "  of which AppRuntime (store open, migration)"},
        {"startup.load", "  of which engine.load"},
        {"startup.frame", "  of which load to first frame"},
        {"switch.later", "switch to Later"},
        {"switch.done", "switch to Done"},
        {"switch.today", "switch to Today"},
        {"refresh", "complete a to-do: list refreshed on screen"},
        {"refresh.save", "  of which the save (toggleCompletion)"},
        {"refresh.model", "  until the Today model rebuilt"},
        {"search.open.rare", "search few matches: first keystroke"},
        {"search.key.rare", "search few matches: later keystroke"},
        {"search.rows.rare", "  rows shown (count)"},
        {"search.open.common", "search \"the\": first keystroke"},
        {"search.key.common", "search \"the\": later keystroke"},
        {"search.rows.common", "  rows loaded (count)"},
    };
    std::printf("\nMilliseconds to the next swapped frame, median (min-max); %d runs per store, "
                "%d samples per run for interactions.\n\n",
                repetitions, samplesPerChild);
    std::printf("| %-46s |", "measurement");
    for (int size : sizes)
        std::printf(" %-24s |", qPrintable(size > 0 ? QStringLiteral("%1 to-dos").arg(size)
                                                    : QStringLiteral("empty store")));
    std::printf("\n|%s|", QByteArray(48, '-').constData());
    for (qsizetype i = 0; i < sizes.size(); ++i)
        std::printf("%s|", QByteArray(26, '-').constData());
    std::printf("\n");
    for (const Row &row : rows) {
        std::printf("| %-46s |", row.label);
        for (int size : sizes)
            std::printf(" %-24s |", qPrintable(cell(results[size], QLatin1String(row.name))));
        std::printf("\n");
    }
    if (results.contains(0) && results.contains(100000)) {
        const double empty = median(results[0][QStringLiteral("startup")]);
        const double large = median(results[100000][QStringLiteral("startup")]);
        std::printf("\nStart-up, 100,000 to-dos vs empty: %.2f× (target ≤ 1.5×)\n",
                    empty > 0 ? large / empty : 0);
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc >= 2 && qstrcmp(argv[1], childFlag) == 0)
        return runChild(argc, argv, argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString());
    QCoreApplication application(argc, argv);
    return runParent(application.arguments());
}
