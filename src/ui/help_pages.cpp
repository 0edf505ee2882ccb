#include "ui/help_pages.h"

#include <array>

#include "ui/help_context.h"

namespace brenvale {

namespace {

struct ContextPage {
    int context;
    const char* page;
};

// The one mapping of help context numbers to pages.
constexpr std::array kContextPages = {
    ContextPage{kHelpShortcutKeys, "shortcut-keys.html"},
    ContextPage{kHelpToolbarDialog, "toolbar.html"},
    ContextPage{kHelpOptionsView, "options-view.html"},
    ContextPage{kHelpOptionsColor, "options-color.html"},
    ContextPage{kHelpOptionsExt, "options-ext.html"},
    ContextPage{kHelpOptionsSave, "options-save.html"},
};

}  // namespace

QString HelpPageForContext(int context) {
    for (const ContextPage& entry : kContextPages) {
        if (entry.context == context) {
            return QString::fromLatin1(entry.page);
        }
    }
    return QString::fromLatin1(kHelpContentsPage);
}

QUrl HelpUrl(const QString& page) {
    return QUrl(QStringLiteral("qthelp://%1/doc/%2").arg(QLatin1String(kHelpNamespace), page));
}

}  // namespace brenvale
