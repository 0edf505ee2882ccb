// Shortcut texts on any bytes: no crash, and a shortcut's text reads back as that shortcut.
#include "fuzz_check.h"
#include "settings/shortcut.h"

using namespace brenvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Shortcut shortcut = ParseShortcut(fuzz::Bytes(data, size));
    std::string text = FormatShortcut(shortcut);
    fuzz::Check(ParseShortcut(text) == shortcut, "a shortcut's text reads back as itself");
    fuzz::Check(FormatShortcut(ParseShortcut(text)) == text, "the text is canonical");
    fuzz::Check(shortcut.empty() == (text == kNoShortcutText), "none is written as none");
    return 0;
}
