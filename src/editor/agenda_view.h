#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "schedule/agenda.h"
#include "settings/settings.h"

namespace brenvale {

class ScheduleIndex;
class Topic;
class TreeRows;

// One open Item of the agenda.
struct AgendaRow {
    Topic* topic = nullptr;
    uint32_t item = 0;
    DueDate due;
};

// The agenda as the window shows it: every open Item with a due, in the groups 期限切れ, 今日,
// 明日, 今週 and それ以降, by due and then in document order. Made from the schedule index: the
// groups' sizes come from its counts per day at once, and the Items of a day are found (in
// the lists of the Topics the index names for that day) only when one of them is first asked
// for, so opening the agenda costs what it shows. Once the document changes the view is stale:
// its rows may name Items that moved, and it is made again before it is used.
class AgendaView {
public:
    AgendaView(ScheduleIndex& index, const TreeRows& rows, const Settings& settings)
        : index_(index), rows_(rows), settings_(settings) {}
    AgendaView(const AgendaView&) = delete;
    AgendaView& operator=(const AgendaView&) = delete;

    // Made afresh for today.
    void refresh(Date today);
    bool stale() const;
    Date today() const { return today_; }

    size_t count(AgendaGroup group) const { return groups_[Index(group)].size; }
    size_t total() const;
    // The k-th row of a group; nullptr past its end.
    const AgendaRow* row(AgendaGroup group, size_t k);

    // "Topic › Topic › text" (UTF-8), for the Item of a row.
    static std::string PlaceText(const Topic& topic, std::string_view text);

private:
    struct Day {
        Date day;
        size_t first = 0;  // the day's first row in its group
        size_t size = 0;
        bool loaded = false;
        std::vector<AgendaRow> rows;
    };
    struct Group {
        std::vector<Day> days;
        size_t size = 0;
    };
    static size_t Index(AgendaGroup group) { return static_cast<size_t>(group); }
    void load(Day& day);

    ScheduleIndex& index_;
    const TreeRows& rows_;
    const Settings& settings_;
    Date today_;
    uint64_t version_ = 0;
    std::array<Group, kAgendaGroupCount> groups_;
};

}  // namespace brenvale
