#include "editor/conflict_copies.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "common/path.h"

namespace brenvale {

namespace {

// Takes prefix off the front of text.
bool Take(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// Takes count characters that pass test off the front of text.
template <typename Test>
bool TakeChars(std::string_view& text, size_t count, Test test) {
    if (text.size() < count || !std::all_of(text.begin(), text.begin() + count, test)) {
        return false;
    }
    text.remove_prefix(count);
    return true;
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

bool DeviceChar(char c) {
    return Digit(c) || (c >= 'A' && c <= 'Z');
}

// "YYYY-MM-DD"
bool TakeDate(std::string_view& text) {
    return TakeChars(text, 4, Digit) && Take(text, "-") && TakeChars(text, 2, Digit) &&
           Take(text, "-") && TakeChars(text, 2, Digit);
}

// An optional " (N)" that some tools add when the name was taken already.
void TakeNumber(std::string_view& text) {
    std::string_view rest = text;
    if (!Take(rest, " (")) {
        return;
    }
    size_t digits = 0;
    while (digits < rest.size() && Digit(rest[digits])) {
        ++digits;
    }
    rest.remove_prefix(digits);
    if (digits > 0 && Take(rest, ")")) {
        text = rest;
    }
}

// ".sync-conflict-20261209-101010-ABCDEFG"
bool SyncConflict(std::string_view text) {
    return Take(text, ".sync-conflict-") && TakeChars(text, 8, Digit) && Take(text, "-") &&
           TakeChars(text, 6, Digit) && Take(text, "-") && TakeChars(text, 7, DeviceChar) &&
           text.empty();
}

// " (conflicted copy 2026-12-09 101010)"
bool ConflictedCopy(std::string_view text) {
    if (!(Take(text, " (conflicted copy ") && TakeDate(text) && Take(text, " ") &&
          TakeChars(text, 6, Digit) && Take(text, ")"))) {
        return false;
    }
    TakeNumber(text);
    return text.empty();
}

// " (<user name>'s conflicted copy 2026-12-09)", the apostrophe plain or typographic.
bool UsersConflictedCopy(std::string_view text) {
    if (!Take(text, " (")) {
        return false;
    }
    for (std::string_view marker : {"'s conflicted copy ", "\xE2\x80\x99s conflicted copy "}) {
        size_t at = text.rfind(marker);
        if (at == std::string_view::npos || at == 0) {
            continue;
        }
        std::string_view rest = text.substr(at + marker.size());
        if (TakeDate(rest) && Take(rest, ")")) {
            TakeNumber(rest);
            if (rest.empty()) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool IsConflictCopyName(std::string_view name, std::string_view documentName) {
    size_t dot = documentName.rfind('.');
    std::string_view stem =
        dot == std::string_view::npos || dot == 0 ? documentName : documentName.substr(0, dot);
    std::string_view extension = documentName.substr(stem.size());
    if (name == documentName || name.size() <= documentName.size() || !name.starts_with(stem) ||
        !name.ends_with(extension)) {
        return false;
    }
    std::string_view middle =
        name.substr(stem.size(), name.size() - stem.size() - extension.size());
    return SyncConflict(middle) || ConflictedCopy(middle) || UsersConflictedCopy(middle);
}

std::vector<std::string> FindConflictCopies(const std::string& documentPath) {
    std::vector<std::string> copies;
    std::string folder = FolderPart(documentPath);
    std::string_view documentName = FileNamePart(documentPath);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return copies;
    }
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (!IsConflictCopyName(name, documentName)) {
            continue;
        }
        std::string path = JoinPath(folder, name);
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            copies.push_back(std::move(path));
        }
    }
    ::closedir(dir);
    std::sort(copies.begin(), copies.end());
    return copies;
}

}  // namespace brenvale
