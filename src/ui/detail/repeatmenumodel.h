#pragma once

#include "model/recurrencerule.h"
#include "todomenumodel.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace qb {

// The Repeat button of one to-do and the rule editor in its popover. The editor's state is
// built from the to-do each time the popover opens; every change builds a rule from it and
// stores that at once (no confirm, no undo offer). Changing the frequency keeps the other
// fields, so going from weekly to monthly and back brings the weekdays back.
class RepeatMenuModel : public qb::TodoMenuModel {
    Q_OBJECT
    QML_ELEMENT
    // The stored rule, for the button.
    Q_PROPERTY(bool isRepeating READ isRepeating NOTIFY displayChanged)
    // The stored rule's frequency, as `frequency` names them.
    Q_PROPERTY(QString storedFrequency READ storedFrequency NOTIFY displayChanged)
    // The stored rule in words, or "Off" without one.
    Q_PROPERTY(QString accessibleValue READ accessibleValue NOTIFY displayChanged)
    // The editor: "" (never), "daily", "weekly", "monthly" or "yearly".
    Q_PROPERTY(QString frequency READ frequency NOTIFY editorChanged)
    // 0 = Sunday … 6 = Saturday, ascending.
    Q_PROPERTY(QList<int> weekdays READ weekdays NOTIFY editorChanged)
    Q_PROPERTY(int dayOfMonth READ dayOfMonth NOTIFY editorChanged)
    Q_PROPERTY(bool useLastDay READ useLastDay NOTIFY editorChanged)
    // The day picker's selection: 0 for "Last day", else the day of the month.
    Q_PROPERTY(int daySelection READ daySelection NOTIFY editorChanged)
    // 0 = January … 11 = December.
    Q_PROPERTY(int month READ month NOTIFY editorChanged)
    // The calendar's very short weekday symbols and short month names, indexed from 0.
    Q_PROPERTY(QStringList weekdaySymbols READ weekdaySymbols NOTIFY dependenciesChanged)
    Q_PROPERTY(QStringList monthNames READ monthNames NOTIFY dependenciesChanged)

public:
    explicit RepeatMenuModel(QObject *parent = nullptr);

    bool isRepeating() const;
    QString storedFrequency() const;
    QString accessibleValue() const;

    QString frequency() const;
    QList<int> weekdays() const { return m_weekdays; }
    int dayOfMonth() const { return m_dayOfMonth; }
    bool useLastDay() const { return m_useLastDay; }
    int daySelection() const { return m_useLastDay ? 0 : m_dayOfMonth; }
    int month() const { return m_month; }
    QStringList weekdaySymbols() const;
    QStringList monthNames() const;

    // The rule the editor's state stands for; none for "Never".
    std::optional<RecurrenceRule> builtRule() const;

    // An option row; "" is "Never". Weekly without weekdays starts on today's weekday.
    Q_INVOKABLE void selectFrequency(const QString &frequency);
    // A frequency chosen without the popover (a context menu): the editor starts from the
    // to-do as the popover would, then the frequency is applied.
    Q_INVOKABLE void chooseFrequency(const QString &frequency);
    // A weekday chip. The last weekday on stays on.
    Q_INVOKABLE void toggleWeekday(int weekday);
    // The day picker: 0 is "Last day", else 1 … 31.
    Q_INVOKABLE void pickDay(int day);
    // The month picker: 0 … 11.
    Q_INVOKABLE void pickMonth(int month);

signals:
    void editorChanged();

protected:
    void watch(TodoItem &todo) override;
    // The editor opens on the stored rule; fields it lacks come from the to-do's date (or
    // today).
    void load() override;

private:
    void apply();

    std::optional<RecurrenceRule::Frequency> m_frequency;
    QList<int> m_weekdays;
    int m_dayOfMonth = 1;
    bool m_useLastDay = false;
    int m_month = 0;
};

} // namespace qb
