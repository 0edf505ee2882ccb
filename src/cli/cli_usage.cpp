#include "cli/cli_usage.h"

#include "exchange/exchange_format.h"

namespace brenvale {

// The format names as the usage lists them: "md|opml|txt".
std::string CliFormatNames() {
    std::string names;
    for (const ExchangeFormat& format : ExchangeFormats()) {
        names += (names.empty() ? "" : "|") + std::string(format.name);
    }
    return names;
}

std::string CliUsage() {
    const std::string formats = CliFormatNames();
    return "Usage: brenvale-cli COMMAND ARGUMENTS [--settings FILE.ini] [--no-backup] [--strict]\n"
           "\n"
           "Commands:\n"
           "  export [--format " +
           formats +
           "] [--encoding cp932|utf-8] IN.bnv [OUT]\n"
           "                               write IN as a Markdown task list, as OPML, or as the\n"
           "                               indented text export (txt, the default; CP932 unless\n"
           "                               --encoding utf-8); without OUT, to standard output\n"
           "  import [--format " +
           formats +
           "] [--encoding cp932|utf-8] IN OUT.bnv\n"
           "                               read a Markdown, OPML or text file into a new document\n"
           "                               saved as OUT (the format from IN's extension when not\n"
           "                               given; text is pasted line by line, as import-text "
           "does)\n"
           "  pdf IN.bnv OUT.pdf           write IN as printed pages, with drawn check boxes\n"
           "  resave IN.bnv OUT.bnv        read IN as the editor opens it and save it as OUT\n"
           "  import-text [--encoding cp932|utf-8] IN.txt OUT.bnv\n"
           "                               paste the lines of IN into a new document saved as OUT\n"
           "  stats IN.bnv                 print the numbers of topics, items, unchecked items "
           "and\n"
           "                               the deepest level\n"
           "  agenda [--today YYYY-MM-DD] [--days N] [--tag TAG]... FILE...\n"
           "                               print the unchecked items due by today + N days (7 "
           "when\n"
           "                               not given; overdue ones too), by due date, one a line:\n"
           "                               DATE<TAB>FILE<TAB>Topic > path<TAB>text, in UTF-8; "
           "each\n"
           "                               --tag keeps only items with that tag; exit 2 when a "
           "FILE\n"
           "                               cannot be read\n"
           "  add [--today YYYY-MM-DD] FILE \"Topic/Sub\" \"text\"\n"
           "                               add an unchecked item at the end of that topic's list,\n"
           "                               making missing topics (write // for a / in a name);\n"
           "                               date words such as due:明日 become due:YYYY-MM-DD; the\n"
           "                               rest of FILE stays byte for byte\n"
           "  merge BASE OURS THEIRS [-o OUT]\n"
           "                               merge what OURS and THEIRS changed since BASE, their\n"
           "                               common ancestor; the result replaces OURS (or goes to\n"
           "                               OUT). Exit 0: merged cleanly; 1: merged with "
           "conflicts,\n"
           "                               each kept both ways, marked \" #競合\" and named on\n"
           "                               standard error; 2: an error, nothing written\n"
           "  merge OURS THEIRS [-o OUT]   unite two copies without a common ancestor (also when\n"
           "                               BASE holds no topics)\n"
           "  diff OLD NEW                 print one line per change (topic added, removed, "
           "moved,\n"
           "                               renamed; item added, removed, edited, ticked, "
           "unticked,\n"
           "                               moved). Exit 0: the same; 1: different; 2: an error\n"
           "  --help                       show this text\n"
           "\n"
           "An OUT of - is standard output; a pipe or a device is written as it stands. export,\n"
           "import, import-text and pdf never write over their IN. Markdown and OPML are UTF-8;\n"
           "a character that CP932 cannot hold is kept in the document as a reference "
           "(&#x1F600;).\n"
           "\n"
           "Options:\n"
           "  --settings FILE.ini          take Kugiri, CekBox, CekMoj, SpRemv, EveryS, BackUp "
           "and\n"
           "                               BackUpPass from FILE.ini as the editor reads them (a\n"
           "                               missing file or key gives the default); without it the\n"
           "                               defaults apply\n"
           "  --no-backup                  save without the backup that BackUp asks for\n"
           "  --strict                     fail, writing nothing, when IN holds lines that are "
           "not\n"
           "                               read, looks like UTF-8 text, or is named .md, .opml or\n"
           "                               .txt without starting as a document (warned about on\n"
           "                               standard error either way)\n";
}

}  // namespace brenvale
