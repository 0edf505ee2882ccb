#include <QApplication>

#include <cstdio>

#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/startup_paths.h"

int main(int argc, char** argv) {
    if (!brenvale::HasDisplay()) {
        std::fprintf(stderr,
                     "brenvale: no display to show the editor on (DISPLAY and WAYLAND_DISPLAY "
                     "are not set).\nStart it from a desktop session, or use brenvale-cli.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenvale"));
    brenvale::SetUpJapanese(app);
    brenvale::MainWindow window(brenvale::MakeStartupOptions(QApplication::arguments()));
    window.show();
    window.start();
    return QApplication::exec();
}
