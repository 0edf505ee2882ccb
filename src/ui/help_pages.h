#pragma once

#include <QString>
#include <QUrl>

namespace brenvale {

// The namespace and folder of the program's pages inside the help collection.
inline constexpr const char* kHelpNamespace = "brenvale.help";
inline constexpr const char* kHelpContentsPage = "index.html";

// The page of a help context number (the dialogs' help buttons); the contents page for a
// number no page is made for.
QString HelpPageForContext(int context);

// The address of a page ("tree.html", "files.html#backup") in the help collection.
QUrl HelpUrl(const QString& page);

}  // namespace brenvale
