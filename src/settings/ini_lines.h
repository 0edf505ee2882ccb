#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brenvale {

// The lines of an INI text, for the readers and the writer of ini_text.h.

enum class IniLineKind { Other, Header, Entry };

struct IniLine {
    size_t begin = 0;
    size_t end = 0;   // before the line break
    size_t next = 0;  // after the line break
    IniLineKind kind = IniLineKind::Other;
    bool blank = true;       // nothing but white space
    std::string_view name;   // section name of a header, key of an entry
    std::string_view value;  // untrimmed value of an entry

    std::string_view lineBreak(std::string_view bytes) const {
        return bytes.substr(end, next - end);
    }
};

// The line starting at begin. A line ends at CR LF, at a lone LF or at a lone CR.
IniLine ClassifyIniLine(std::string_view bytes, size_t begin, size_t lineBreak);

// Goes through the lines front to back. Each byte is looked at a bounded number of times,
// whichever line breaks the text uses.
class IniLineScanner {
public:
    explicit IniLineScanner(std::string_view bytes) : bytes_(bytes) {}

    bool Next(IniLine* line);

private:
    size_t FindFrom(char c, size_t from, size_t* cache) const;

    std::string_view bytes_;
    size_t pos_ = 0;
    size_t nextCr_ = std::string_view::npos;  // npos: not looked for yet
    size_t nextLf_ = std::string_view::npos;
};

// A name in the form in which names that IniNamesEqual calls equal are equal: ASCII letters
// in lower case, CP932 double-byte characters as they are.
void FoldIniName(std::string_view name, std::string* folded);
std::string FoldedIniName(std::string_view name);

}  // namespace brenvale
