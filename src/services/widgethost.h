#pragma once

namespace qb {

// Whatever shows the Today widget on the desktop; told to reload after the snapshot changes.
class WidgetHost {
public:
    virtual ~WidgetHost() = default;
    virtual void reloadAllTimelines() = 0;
};

// For builds and tools with no desktop widget.
class NoWidgetHost final : public WidgetHost {
public:
    void reloadAllTimelines() override {}
};

} // namespace qb
