// The texts of writes the safe writer refuses or stops: a target that is no regular file, and
// one another program changed meanwhile.
#include <sys/stat.h>

#include <cstring>

#include "common/file_io.h"

namespace brenvale {

std::string WriteErrorText(const std::string& path, const std::string& reason) {
    return "ファイル " + path + " に書き込めません。\n" + reason;
}

std::string NotRegularReason(mode_t mode) {
    const char* what = nullptr;
    if (S_ISFIFO(mode)) {
        what = "名前付きパイプ";
    } else if (S_ISCHR(mode) || S_ISBLK(mode)) {
        what = "デバイス";
    } else if (S_ISSOCK(mode)) {
        what = "ソケット";
    } else if (S_ISLNK(mode)) {
        what = "シンボリックリンク";
    }
    return (what ? std::string(what) + "で、" : std::string()) + "通常のファイルではありません";
}

std::string WriteError::reason() const {
    return reason_.empty() ? std::string(std::strerror(error_)) : reason_;
}

FileChangedError::FileChangedError(const std::string& path)
    : Error("「" + path + "」は他のプログラムによって変更されています。"), path_(path) {}

}  // namespace brenvale
