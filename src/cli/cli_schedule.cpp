#include "cli/cli_schedule.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <new>
#include <numeric>
#include <ostream>

#include "cli/cli_arguments.h"
#include "common/cp932.h"
#include "common/error.h"
#include "common/readable_file.h"
#include "common/text.h"
#include "document/backup_copy.h"
#include "document/read_checks.h"
#include "schedule/agenda_file.h"
#include "schedule/date_words.h"
#include "schedule/quick_add.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace brenvale {

namespace {

constexpr const char* kScheduleUsage =
    "Usage: brenvale-cli agenda [--today YYYY-MM-DD] [--days N] [--tag TAG]... FILE...\n"
    "       brenvale-cli add [--today YYYY-MM-DD] FILE \"Topic/Sub\" \"text\"\n"
    "(brenvale-cli --help shows every command)\n";

constexpr size_t kOutputPiece = size_t{256} << 10;

struct Arguments {
    std::vector<std::string> operands;
    std::optional<Date> today;
    std::optional<int> days;
    std::vector<std::string> tags;
    Settings settings;
    bool noBackup = false;
    bool strict = false;
};

Arguments Parse(const std::vector<std::string>& args) {
    Arguments a;
    bool operandsOnly = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            a.operands.push_back(arg);
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "--no-backup") {
            a.noBackup = true;
        } else if (arg == "--strict") {
            a.strict = true;
        } else if (auto value = OptionValue(args, i, "--settings")) {
            if (value->empty()) {
                throw UsageError{"--settings needs a file"};
            }
            a.settings = SettingsNamedBy(*value);
        } else if (auto value = OptionValue(args, i, "--today")) {
            a.today = ParseIsoDate(*value);
            if (!a.today) {
                throw UsageError{"--today takes a day as YYYY-MM-DD, not '" + *value + "'"};
            }
        } else if (auto value = OptionValue(args, i, "--days")) {
            int days = 0;
            auto [end, ec] = std::from_chars(value->data(), value->data() + value->size(), days);
            if (ec != std::errc() || end != value->data() + value->size() || days < 0 ||
                days > 100000) {
                throw UsageError{"--days takes a number of days from 0, not '" + *value + "'"};
            }
            a.days = days;
        } else if (auto value = OptionValue(args, i, "--tag")) {
            a.tags.push_back(*value);
        } else {
            throw UsageError{"unknown option '" + arg + "'"};
        }
    }
    return a;
}

// A text given in UTF-8 as the document holds it.
std::string ToCp932(const std::string& utf8, const std::string& what) {
    size_t bad = 0;
    std::optional<std::string> cp932 = Utf8ToCp932(utf8, &bad);
    if (!cp932) {
        throw Error(what + "「" + utf8 + "」の " + std::to_string(bad + 1) +
                    " バイト目の文字は CP932 で表せません");
    }
    return *cp932;
}

// A line of the agenda keeps its columns: a TAB or line break inside a caption or text
// becomes a space.
void AppendColumn(std::string& line, std::string_view cp932) {
    size_t from = line.size();
    AppendCp932AsUtf8(line, cp932);
    std::replace_if(
        line.begin() + static_cast<std::ptrdiff_t>(from), line.end(),
        [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
}

struct AgendaLine {
    int64_t day;
    size_t file;
    size_t entry;
    std::string_view path;  // UTF-8
};

// The lines' indices by due day, then by file, then in document order. The lines come in file
// and document order, so a stable sort by day alone gives that order; where the days span
// little more than the lines (as they do), it is a count of each day instead of a sort.
std::vector<size_t> OrderByDay(const BlockArray<AgendaLine>& lines) {
    std::vector<size_t> order(lines.size());
    if (lines.empty()) {
        return order;
    }
    auto [low, high] =
        std::minmax_element(lines.begin(), lines.end(),
                            [](const AgendaLine& x, const AgendaLine& y) { return x.day < y.day; });
    const int64_t first = low->day;
    const auto span = static_cast<uint64_t>(high->day - first) + 1;
    if (span > lines.size() * 4 + 4096) {
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t x, size_t y) { return lines[x].day < lines[y].day; });
        return order;
    }
    std::vector<size_t> next(span + 1, 0);
    for (const AgendaLine& line : lines) {
        ++next[static_cast<size_t>(line.day - first) + 1];
    }
    std::partial_sum(next.begin(), next.end(), next.begin());
    for (size_t i = 0; i < lines.size(); ++i) {
        order[next[static_cast<size_t>(lines[i].day - first)]++] = i;
    }
    return order;
}

int Agenda(const Arguments& a, std::ostream& out, std::ostream& err) {
    if (a.operands.empty()) {
        throw UsageError{"agenda takes one or more files"};
    }
    Date today = a.today.value_or(LocalToday());
    AgendaOptions options;
    options.through = AddDays(today, a.days.value_or(7));
    for (const std::string& tag : a.tags) {
        options.tags.push_back(ToCp932(tag, "タグ"));
    }
    ListKindOptions list = a.settings.listKindOptions();
    using Line = AgendaLine;
    std::vector<FileAgenda> agendas;
    bool unreadable = false;
    for (size_t f = 0; f < a.operands.size(); ++f) {
        const std::string& path = a.operands[f];
        try {
            agendas.push_back(ReadFileAgenda(path, today, list, options, " > "));
        } catch (const Error& e) {
            std::string text = e.what();
            std::replace(text.begin(), text.end(), '\n', ' ');
            err << "brenvale-cli: " << text << "\n";
            unreadable = true;
            agendas.emplace_back();
            continue;
        }
        const FileAgenda& agenda = agendas.back();
        std::vector<std::string> warnings = ReadWarningTexts(agenda.utf8, agenda.unreadLines);
        for (const std::string& warning : warnings) {
            err << "brenvale-cli: " << path << ": " << warning << "\n";
        }
        if (a.strict && !warnings.empty()) {
            return 1;
        }
    }
    size_t count = 0;
    for (const FileAgenda& agenda : agendas) {
        count += agenda.entries.size();
    }
    BlockArray<Line> lines;
    lines.reserve(count);
    // The Items of one Topic lie together in document order and share their path: each path
    // is converted once.
    TextPool paths;
    std::string column;
    for (size_t f = 0; f < agendas.size(); ++f) {
        const char* last = nullptr;
        std::string_view path;
        for (size_t e = 0; e < agendas[f].entries.size(); ++e) {
            const FileAgendaEntry& entry = agendas[f].entries[e];
            if (entry.path.data() != last || e == 0) {
                last = entry.path.data();
                column.clear();
                AppendColumn(column, entry.path);
                path = paths.keep(column);
            }
            lines.push_back({DayNumber(entry.due.day), f, e, path});
        }
    }
    // Written in big pieces: tens of thousands of lines are common.
    std::string text;
    text.reserve(kOutputPiece + 4096);
    for (size_t at : OrderByDay(lines)) {
        const Line& line = lines[at];
        const FileAgendaEntry& entry = agendas[line.file].entries[line.entry];
        AppendIsoDate(text, entry.due.day);
        text += '\t';
        text += a.operands[line.file];
        text += '\t';
        text += line.path;
        text += '\t';
        AppendColumn(text, entry.text);
        text += '\n';
        if (text.size() >= kOutputPiece) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return unreadable ? 2 : 0;
}

int Add(const Arguments& a, std::ostream&, std::ostream& err) {
    if (a.operands.size() != 3) {
        throw UsageError{"add takes a file, a Topic path and a text"};
    }
    if (!a.tags.empty() || a.days) {
        throw UsageError{"add takes no --tag or --days"};
    }
    const std::string& file = a.operands[0];
    std::vector<std::string> path = SplitTopicPath(ToCp932(a.operands[1], "トピックのパス"));
    DateWordsResult words =
        ConvertDateWords(ToCp932(a.operands[2], "項目"), a.today.value_or(LocalToday()));
    for (const TokenProblem& problem : words.problems) {
        err << "brenvale-cli: " << problem.hint << "\n";
    }
    WriteOptions write = a.settings.writeOptions();
    if (a.noBackup) {
        write.backup = false;
    }
    std::string text(write.trimItemSpaces ? TrimBlanks(words.text) : std::string_view(words.text));
    if (text.empty()) {
        throw UsageError{"add needs a text to add"};
    }
    for (const std::string& made : AddItemToFile(file, path, text, write)) {
        err << "brenvale-cli: トピック「" << Cp932ToUtf8(made) << "」を作りました\n";
    }
    return 0;
}

}  // namespace

std::optional<int> RunScheduleCommand(const std::vector<std::string>& args, std::ostream& out,
                                      std::ostream& err) {
    if (args.empty() || (args[0] != "agenda" && args[0] != "add")) {
        return std::nullopt;
    }
    // An unreadable file is 2 for agenda, as for bad usage; 1 for add, as for every command
    // that writes.
    const int failure = args[0] == "agenda" ? 2 : 1;
    try {
        Arguments a = Parse(args);
        int code = args[0] == "agenda" ? Agenda(a, out, err) : Add(a, out, err);
        errno = 0;
        out.flush();
        if (!out) {
            int error = errno;
            err << "brenvale-cli: cannot write the output"
                << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
            return 1;
        }
        return code;
    } catch (const UsageError& e) {
        err << "brenvale-cli: " << e.text << "\n" << kScheduleUsage;
        return 2;
    } catch (const BackupError& e) {
        std::string text = e.what();
        std::replace(text.begin(), text.end(), '\n', ' ');
        err << "brenvale-cli: " << text << " (--no-backup saves without one)\n";
        return 1;
    } catch (const Error& e) {
        std::string text = e.what();
        std::replace(text.begin(), text.end(), '\n', ' ');
        err << "brenvale-cli: " << text << "\n";
        return failure;
    } catch (const std::bad_alloc&) {
        err << "brenvale-cli: メモリが足りません\n";
        return 1;
    }
}

}  // namespace brenvale
