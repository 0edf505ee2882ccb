#include "ui/file_name_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "ui/codec.h"

namespace brenvale {

namespace {

// "description|pattern|..." as Qt name filters. "*.*" means every file here, with or without
// an extension.
QStringList NameFilters(const std::string& filter, QStringList* descriptions) {
    QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString pattern = parts[i + 1];
        *descriptions << description;
        if (pattern == QLatin1String("*.*")) {
            description.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
            pattern = QStringLiteral("*");
        }
        filters << (description.contains(QLatin1Char('(')) ? description
                                                           : description + " (" + pattern + ")");
    }
    return filters;
}

// The extension of a filter's first pattern ("Markdown (*.md *.markdown)" gives "md"),
// empty for "*".
QString FirstExtension(const QString& filter) {
    qsizetype open = filter.lastIndexOf(QLatin1String("(*."));
    if (open < 0) {
        return QString();
    }
    QString rest = filter.mid(open + 3);
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != QLatin1Char(' ') && rest[end] != QLatin1Char(')') &&
           rest[end] != QLatin1Char(';')) {
        ++end;
    }
    return rest.left(end);
}

}  // namespace

std::optional<std::string> AskFileName(QWidget* parent, const FileDialogOptions& options,
                                       bool save) {
    std::optional<FileChoice> choice = AskFileChoice(parent, options, save);
    if (!choice) {
        return std::nullopt;
    }
    return choice->path;
}

std::optional<FileChoice> AskFileChoice(QWidget* parent, const FileDialogOptions& options,
                                        bool save) {
    QFileDialog dialog(parent, FromUtf8(options.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList descriptions;
    QStringList filters = NameFilters(options.filter, &descriptions);
    dialog.setNameFilters(filters);
    if (options.filterIndex >= 1 && options.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[options.filterIndex - 1]);
    }
    dialog.setDefaultSuffix(FromUtf8(options.defaultExtension));
    if (save && filters.size() > 1) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) {
                             if (QString extension = FirstExtension(filter); !extension.isEmpty()) {
                                 dialog.setDefaultSuffix(extension);
                             }
                         });
    }
    if (!options.fileName.empty()) {
        QFileInfo preset(FromUtf8(options.fileName));
        if (preset.isAbsolute()) {
            dialog.setDirectory(preset.absolutePath());
        }
        dialog.selectFile(preset.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // The filter as the caller named it, which tells the caller what it stands for.
    qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    std::string filter = chosen < 0 ? FilterDescriptionAt(options.filter, options.filterIndex)
                                    : ToUtf8(descriptions[chosen]);
    return FileChoice{ToUtf8(dialog.selectedFiles().first()), filter};
}

}  // namespace brenvale
