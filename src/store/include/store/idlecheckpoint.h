#pragma once

#include <QObject>

#include <chrono>
#include <memory>

namespace qb {

class ModelContext;
class SingleShotTimer;

// Keeps the store's log maintenance off the edits: the log is copied into the store file once
// saving has paused for `idleDelay`, instead of inside whichever save fills it (a pause of tens
// of milliseconds in a large store). A long run of saves with no pause still gets a copy inside
// a save, once the log holds `fallbackLimitPages`.
class IdleCheckpoint : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds idleDelay{2000};
    static constexpr int fallbackLimitPages = 4096; // 16 MiB of 4 KiB pages

    IdleCheckpoint(ModelContext &context, std::unique_ptr<SingleShotTimer> timer,
                   QObject *parent = nullptr);
    ~IdleCheckpoint() override;

private:
    ModelContext &m_context;
    std::unique_ptr<SingleShotTimer> m_timer;
};

} // namespace qb
