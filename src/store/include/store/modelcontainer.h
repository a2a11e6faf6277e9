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
    static Result<std::unique_ptr<ModelContainer>> open(const Configuration &configuration);
    ~ModelContainer();

    const Configuration &configuration() const { return m_configuration; }
    ModelContext &mainContext() { return *m_mainContext; }
    Result<std::unique_ptr<ModelContext>> newContext();

private:
    explicit ModelContainer(Configuration configuration);
    Configuration m_configuration;
    std::unique_ptr<ModelContext> m_mainContext;
};

} // namespace qb
