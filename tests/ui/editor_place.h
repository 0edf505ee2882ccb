#pragma once

#include <QString>

#include "common/cp932.h"
#include "editor/editor.h"

namespace brenvale::test {

// Where the selection is: the selected Topic's caption ("-" for none), then "/" and the row of
// the selected Item when there is one.
inline QString Here(Editor& editor) {
    Topic* t = editor.selection().topic();
    QString here = t ? QString::fromStdString(Cp932ToUtf8(t->caption)) : QStringLiteral("-");
    return editor.list().hasSelectedItem()
               ? here + "/" + QString::number(editor.list().selectedRow())
               : here;
}

}  // namespace brenvale::test
