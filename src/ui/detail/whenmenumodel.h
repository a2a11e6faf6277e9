#pragma once

#include "todomenumodel.h"

#include <QDateTime>

namespace qb {

// The When button of one to-do and its popover: the button's label, which quick option is
// current, the calendar's state and the pick that reschedules the to-do and offers an undo.
// The popover's state is built anew each time it opens.
class WhenMenuModel : public qb::TodoMenuModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString label READ label NOTIFY displayChanged)
    // "today", "tomorrow", "later", or "" when the to-do is dated any other day.
    Q_PROPERTY(QString selectedOption READ selectedOption NOTIFY displayChanged)
    // The calendar's selection (month 1 … 12): the scheduled day, or today without one.
    Q_PROPERTY(int pickedYear READ pickedYear NOTIFY pickedChanged)
    Q_PROPERTY(int pickedMonth READ pickedMonth NOTIFY pickedChanged)
    Q_PROPERTY(int pickedDay READ pickedDay NOTIFY pickedChanged)
    // The month the calendar shows (month 1 … 12) and its title ("March 2024").
    Q_PROPERTY(int shownYear READ shownYear NOTIFY shownMonthChanged)
    Q_PROPERTY(int shownMonth READ shownMonth NOTIFY shownMonthChanged)
    Q_PROPERTY(QString shownMonthTitle READ shownMonthTitle NOTIFY shownMonthChanged)
    // The user's locale for the calendar grid ("en_US").
    Q_PROPERTY(QString localeName READ localeName NOTIFY dependenciesChanged)

public:
    explicit WhenMenuModel(QObject *parent = nullptr);

    QString label() const;
    QString selectedOption() const;
    int pickedYear() const { return m_pickedYear; }
    int pickedMonth() const { return m_pickedMonth; }
    int pickedDay() const { return m_pickedDay; }
    int shownYear() const { return m_shownYear; }
    int shownMonth() const { return m_shownMonth; }
    QString shownMonthTitle() const;
    QString localeName() const;

    // Whether the given day (month 1 … 12) is the current day.
    Q_INVOKABLE bool isToday(int year, int month, int day) const;
    Q_INVOKABLE void showPreviousMonth();
    Q_INVOKABLE void showNextMonth();
    // Month 1 … 12; the calendar's keyboard cursor moves the shown month with it.
    Q_INVOKABLE void showMonth(int year, int month);

    // Each pick closes the popover, then reschedules through the store; a change offers its
    // undo.
    Q_INVOKABLE void pickToday();
    Q_INVOKABLE void pickTomorrow();
    Q_INVOKABLE void pickLater();
    // A day of the calendar (month 1 … 12). Picking the day already selected does nothing.
    Q_INVOKABLE void pickDay(int year, int month, int day);

signals:
    void pickedChanged();
    void shownMonthChanged();

protected:
    void watch(TodoItem &todo) override;
    // The calendar opens on the scheduled day, or on today.
    void load() override;

private:
    QDateTime startOfToday() const;
    QDateTime startOfTomorrow() const;
    void pick(const QDateTime &date);

    int m_pickedYear = 0;
    int m_pickedMonth = 0;
    int m_pickedDay = 0;
    int m_shownYear = 0;
    int m_shownMonth = 0;
};

} // namespace qb
