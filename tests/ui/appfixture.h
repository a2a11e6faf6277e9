#pragma once

#include "app/quillbrookapp.h"
#include "navigation/approuter.h"
#include "preferences/preferences.h"
#include "taskfixture.h"
#include "tasks/undocenter.h"
#include "viewmodels/completionqueue.h"
#include "virtualtime.h"

#include <QAbstractItemModel>
#include <QSignalSpy>

#include <memory>

namespace qb::test {

// The application object over a real store, as main() builds it, but with the fixture's
// calendar and movable clock, an undo center on virtual time and preferences in the
// temporary folder. Completions run on virtual time too.
class AppFixture : public TaskFixture {
protected:
    void SetUp() override {
        TaskFixture::SetUp();
        app = std::make_unique<QuillbrookApp>(appParts());
        app->completions()->setTimerFactory([this] { return time.makeTimer(); });
    }

    // The parts `app` is built from; a test may add to them for an application of its own.
    QuillbrookApp::Parts appParts() {
        QuillbrookApp::Parts parts;
        parts.context = &context();
        parts.environment = environment;
        parts.undoCenter = &undoCenter;
        parts.router = &router;
        parts.preferences = preferences.get();
        return parts;
    }

    using Milliseconds = std::chrono::milliseconds;
    void advance(Milliseconds step) { time.advance(step); }

    QStringList titles(const QAbstractItemModel &model, int role) const {
        QStringList result;
        for (int row = 0; row < model.rowCount(); ++row) {
            auto *item = qvariant_cast<QObject *>(model.index(row, 0).data(role));
            result.append(item ? item->property("title").toString() : QStringLiteral("?"));
        }
        return result;
    }
    QStringList column(const QAbstractItemModel &model, int role) const {
        QStringList result;
        for (int row = 0; row < model.rowCount(); ++row)
            result.append(model.index(row, 0).data(role).toString());
        return result;
    }

    VirtualTime time;
    UndoCenter undoCenter{time.makeTimer()};
    AppRouter router;
    std::unique_ptr<Preferences> preferences =
        std::make_unique<Preferences>(folder.filePath(QStringLiteral("Quillbrook.conf")));
    std::unique_ptr<QuillbrookApp> app;
};

// Counts the structural signals of a model. A save must never show up as a reset.
struct ModelSignals {
    explicit ModelSignals(QAbstractItemModel *model)
        : inserted(model, &QAbstractItemModel::rowsInserted)
        , removed(model, &QAbstractItemModel::rowsRemoved)
        , moved(model, &QAbstractItemModel::rowsMoved)
        , reset(model, &QAbstractItemModel::modelReset)
        , changed(model, &QAbstractItemModel::dataChanged) {}

    void clear() {
        inserted.clear();
        removed.clear();
        moved.clear();
        reset.clear();
        changed.clear();
    }

    QSignalSpy inserted;
    QSignalSpy removed;
    QSignalSpy moved;
    QSignalSpy reset;
    QSignalSpy changed;
};

} // namespace qb::test
