#include <QApplication>

#include <cstdio>
#include <memory>

#include "editor/document_preread.h"
#include "ui/application.h"
#include "ui/codec.h"
#include "ui/main_window.h"
#include "ui/startup_paths.h"

int main(int argc, char** argv) {
    if (!brenvale::HasDisplay()) {
        std::fprintf(stderr,
                     "brenvale: no display to show the editor on (DISPLAY and WAYLAND_DISPLAY "
                     "are not set).\nStart it from a desktop session, or use brenvale-cli.\n");
        return 1;
    }
    // Before a document takes memory.
    brenvale::PrepareCodec();
    // The first document is read while Qt starts and the window is built; the open takes that
    // read when it is of the same file with the same options.
    std::shared_ptr<brenvale::DocumentPreread> preread;
    if (argc > 1) {
        preread = std::make_shared<brenvale::DocumentPreread>(argv[1], brenvale::ReadOptions{});
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenvale"));
    brenvale::SetUpJapanese(app);
    brenvale::StartupOptions options = brenvale::MakeStartupOptions(QApplication::arguments());
    options.preread = std::move(preread);
    brenvale::MainWindow window(std::move(options));
    window.show();
    window.start();
    return QApplication::exec();
}
