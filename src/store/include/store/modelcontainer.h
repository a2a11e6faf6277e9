#pragma once

#include "store/status.h"

#include <QString>

#include <memory>

namespace qb {

class ModelContext;

// An open store file: the main context shared by every view, and independent contexts on the
// same file for background work such as migrations.
class ModelContainer {
public:
    enum class CloudMode { None, Automatic };

    struct Configuration {
        QString path;
        CloudMode cloudMode = CloudMode::None;
        QString searchLocaleId = QStringLiteral("en_US");
    };

    // Creates the file (mode 0600) when missing. A file that is not a store, is damaged, or
    // comes from a newer schema is refused and never written to.
    //
    // Should the file be deleted or replaced at its path while open (found by the main context's
    // remote-change check), the store is reopened at its path, keeping what the main context
    // holds unsaved: a deleted file is written again there from the open one; a store put in its
    // place is used from then on, with the to-dos only the open file had copied into it; a file
    // that is not a store is left alone and the store goes on in a recovery file beside it,
    // which then becomes the configuration's path. The main context announces which.
    static Result<std::unique_ptr<ModelContainer>> open(const Configuration &configuration);
    ~ModelContainer();

    const Configuration &configuration() const { return m_configuration; }
    ModelContext &mainContext() { return *m_mainContext; }
    Result<std::unique_ptr<ModelContext>> newContext();

private:
    explicit ModelContainer(Configuration configuration);
    void followMovedFile();
    // With the main context on the recovery file: the store back at its path, or left in the
    // recovery file. Returns the notice for the user.
    QString reopenAtPath(const QString &recovery);
    QString stayInRecovery(const QString &recovery, const QString &what);

    Configuration m_configuration;
    std::unique_ptr<ModelContext> m_mainContext;
    // A failure to follow a moved file is told once, not at every check.
    bool m_moveProblemTold = false;
};

} // namespace qb
