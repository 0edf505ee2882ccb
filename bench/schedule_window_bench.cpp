// Dates and tags in the window, measured as a user waits for them: each figure from fresh
// processes (the median of several) on the 30 MB document with a due on every tenth Item and a
// tag on every seventh, and with --ten-times on one ten times its size:
//
//   schedule_window_bench [--runs N] [--ten-times]
//
// - the agenda: from the command until its list is painted, the first time in the process
//   (after the window has rested a second, as a window does before a user's first command);
// - a click on a tag in the tag panel: until the tree and the list are painted again;
// - ticking an Item with a due, and unticking it, until the window has settled.
// Beside them, the same process's start with the document until its first list is painted.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "dated_document.h"
#include "editor/document_preread.h"
#include "editor/editor.h"
#include "editor/schedule_index.h"
#include "process_runs.h"
#include "support/main_window_test_access.h"
#include "ui/agenda_dialog.h"
#include "ui/application.h"
#include "ui/check_list_view.h"
#include "ui/command_actions.h"
#include "ui/main_window.h"
#include "ui/tag_panel.h"
#include "ui/topic_tree_view.h"
#include "window_bench_support.h"

namespace brenvale::bench {
namespace {

// Processes events for ms milliseconds.
void Rest(int ms) {
    QElapsedTimer rested;
    rested.start();
    while (rested.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// The tag panel's row of a tag, once its counts are in; -1 when it never shows.
int TagRow(TagPanel& panel, const QString& tag) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000) {
        QAbstractItemModel* model = panel.view()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 0).data().toString().startsWith(tag + " ")) {
                return row;
            }
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return -1;
}

int Child(int argc, char** argv) {
    QString folder = argv[2];
    QString document = argv[3];
    auto preread = std::make_shared<DocumentPreread>(argv[3], ReadOptions{});
    QApplication app(argc, argv);
    SetUpJapanese(app);
    FailOnUnansweredQuestions();
    StartupOptions options = OptionsIn(folder, document);
    options.preread = std::move(preread);
    MainWindow window(std::move(options));
    PaintWatch listPaint(window.list()->viewport());
    PaintWatch treePaint(window.tree()->viewport());
    window.show();
    window.start();
    listPaint.wait();
    std::printf("painted %.3f\n", MonotonicMs());
    Editor& editor = window.editor();
    Rest(1000);
    std::printf("index built before the agenda %d\n", editor.tags().index().built() ? 1 : 0);

    Settle();
    double start = MonotonicMs();
    window.actions().action(CommandId::Agenda)->trigger();
    AgendaDialog* agenda = MainWindowTestAccess::agendaDialog(window);
    PaintWatch agendaPaint(agenda->view()->viewport());
    agendaPaint.wait();
    Settle();
    std::printf("step agenda|%.1f\n", MonotonicMs() - start);
    agenda->close();
    Settle();

    TagPanel* panel = window.tagPanel();
    panel->toggleViewAction()->trigger();
    int row = TagRow(*panel, QStringLiteral("#t3"));
    if (row < 0) {
        std::fprintf(stderr, "schedule_window_bench: no tag #t3 in the panel\n");
        return 1;
    }
    Settle();
    treePaint.reset();
    start = MonotonicMs();
    panel->clickRow(row, false);
    treePaint.wait();
    Settle();
    std::printf("step tag click|%.1f\n", MonotonicMs() - start);
    start = MonotonicMs();
    panel->clearButton()->click();
    treePaint.wait();
    Settle();
    std::printf("step filter cleared|%.1f\n", MonotonicMs() - start);

    // The document's first Item has a due.
    editor.tree().selectTopic(editor.document().first());
    Settle();
    start = MonotonicMs();
    editor.toggleCheck(0);
    Settle();
    std::printf("step tick a dated Item|%.1f\n", MonotonicMs() - start);
    start = MonotonicMs();
    editor.toggleCheck(0);
    Settle();
    std::printf("step untick it|%.1f\n", MonotonicMs() - start);
    std::fflush(stdout);
    std::_Exit(0);
}

double Value(const std::string& output, const std::string& key) {
    size_t at = output.find(key + " ");
    return at == std::string::npos ? -1 : std::atof(output.c_str() + at + key.size() + 1);
}

void Measure(const std::string& self, const std::string& folder, const std::string& name,
             int topics, int runs) {
    const std::string doc = folder + "/" + name + ".bnv";
    WriteDatedDocument(doc, topics);
    double fileMb = static_cast<double>(std::filesystem::file_size(doc)) / (1024.0 * 1024.0);
    const Command command = {self, "--child", folder, doc};
    RunOrFail({command});  // warms the page cache
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> steps;
    std::vector<double> starts;
    int indexBuilt = 0;
    for (int i = 0; i < runs; ++i) {
        ProcessRun run = RunOrFail({command});
        starts.push_back(Value(run.output, "painted") - run.startedAt);
        indexBuilt += Value(run.output, "index built before the agenda") > 0 ? 1 : 0;
        size_t at = 0;
        while ((at = run.output.find("step ", at)) != std::string::npos) {
            size_t bar = run.output.find('|', at);
            std::string step = run.output.substr(at + 5, bar - at - 5);
            if (steps.find(step) == steps.end()) {
                order.push_back(step);
            }
            steps[step].push_back(std::atof(run.output.c_str() + bar + 1));
            at = bar;
        }
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("\n%s (%.0f MB), median of %d fresh processes:\n", name.c_str(), fileMb, runs);
    std::printf("  start until the first list is painted  %8.1f ms\n", median(starts));
    std::printf("  (the schedule index was built before the agenda in %d of %d runs)\n", indexBuilt,
                runs);
    for (const std::string& step : order) {
        const std::vector<double>& times = steps[step];
        double m = median(times);
        bool goal = step == "agenda" || step == "tag click";
        std::printf("  %-38s %8.1f ms  (slowest %.1f)%s\n", step.c_str(), m,
                    *std::max_element(times.begin(), times.end()),
                    goal ? (m > 100 ? "  goal < 100 ms: missed" : "  goal < 100 ms") : "");
    }
    std::filesystem::remove(doc);
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 3 && std::string(argv[1]) == "--child") {
        return Child(argc, argv);
    }
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "schedule_window_bench");
    if (!options) {
        return 2;
    }
    // For every child, before Qt reads them.
    PrivateXdgFolders xdg;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvale-schedule-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    Measure(self, folder, "dated", 100000, options->runs);
    if (options->tenTimes) {
        Measure(self, folder, "dated-ten-times", 1000000, options->runs);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
