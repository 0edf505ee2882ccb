#include "ui/application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace brenvale {

bool HasDisplay() {
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void SetUpJapanese(QApplication& app) {
    // The first face that is installed: asking for a missing one makes the font system look
    // for substitutes, which costs more than the whole window.
    QFont font = QApplication::font();
    const QStringList faces = {
        QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
        QStringLiteral("IPAGothic"),       QStringLiteral("Noto Sans CJK JP"),
        QStringLiteral("VL PGothic"),      QStringLiteral("TakaoPGothic")};
    for (const QString& face : faces) {
        if (QFontDatabase::hasFamily(face)) {
            font.setFamily(face);
            break;
        }
    }
    font.setPixelSize(12);
    QApplication::setFont(font);

    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }
}

}  // namespace brenvale
