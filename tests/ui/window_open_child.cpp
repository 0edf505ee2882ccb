// The main window in a process of its own, offscreen, for the tests that open a document
// under a limit of the address space. Its command line: a folder for its settings, then
// "start DOCUMENT" (the document named on the command line and read while the window is
// built, as the program starts) or "open FIRST DOCUMENT" (FIRST at the start, then DOCUMENT
// opened as a drop opens it). Every message box is printed ("message: TEXT") and closed;
// the address space in use is printed once the window is up ("before: KB") and at the end
// ("after: KB"), and the window's state last ("state: ...").
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "editor/document_preread.h"
#include "support/main_window_test_access.h"
#include "ui/counter_panel.h"
#include "ui/error_report.h"
#include "ui/main_window.h"
#include "ui/topic_tree_view.h"

using namespace brenvale;

namespace {

// The address space the process has mapped, in KB.
std::string MappedKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) {
            return std::to_string(std::stol(line.substr(7)));
        }
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[2] : "";
    if (!((mode == "start" && argc == 4) || (mode == "open" && argc == 5))) {
        std::cerr << "usage: window_open_child FOLDER start DOCUMENT | open FIRST DOCUMENT\n";
        return 2;
    }
    std::shared_ptr<DocumentPreread> preread;
    if (mode == "start") {
        preread = std::make_shared<DocumentPreread>(argv[3], ReadOptions{});
    }
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    StartupOptions options;
    options.programPath = QApplication::applicationFilePath();
    options.companionFolder = folder;
    options.settingsFile = folder + "/brenvale.ini";
    options.shortcutFile = folder + "/brenvale.key";
    options.files << QString::fromLocal8Bit(argv[3]);
    options.preread = std::move(preread);

    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::cout << "message: " << box->text().toStdString() << std::endl;
            box->reject();
        }
    });
    answer.start(20);

    MainWindow window(std::move(options));
    window.show();
    window.start();
    QApplication::processEvents();
    std::cout << "before: " << MappedKb() << std::endl;
    if (mode == "open") {
        const std::string path = argv[4];
        RunReporting([&] { window.editor().files().filesDropped({path}); });
    }
    QApplication::processEvents();
    std::cout << "after: " << MappedKb() << std::endl;
    const Editor& editor = window.editor();
    const Topic* first = editor.document().first();
    std::cout << "state: topics " << editor.document().topicCount() << ", rows "
              << editor.tree().rows().rowCount() << ", view rows "
              << window.tree()->model()->rowCount() << ", first "
              << (first ? first->caption : std::string("-")) << ", selected "
              << (editor.selection().topic() ? "yes" : "no") << ", modified "
              << editor.session().isModified() << ", counter "
              << MainWindowTestAccess::treeCounter(window)->painted().black.toStdString()
              << std::endl;
    window.editor().session().setModified(false);
    return 0;
}
