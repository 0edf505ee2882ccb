#include "cli/cli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <string_view>

#include "common/byte_block.h"
#include "common/error.h"
#include "common/file_io.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/item_kind.h"
#include "document/text_export.h"
#include "document/tree_clipboard.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace brenvale {

namespace {

constexpr const char* kUsage =
    "Usage: brenvale-cli COMMAND ARGUMENTS [--settings FILE.ini]\n"
    "\n"
    "Commands:\n"
    "  export IN.bnv OUT.txt        write the indented text export of IN\n"
    "  resave IN.bnv OUT.bnv        read IN as the editor opens it and save it as OUT\n"
    "  import-text IN.txt OUT.bnv   paste the lines of IN into a new document saved as OUT\n"
    "  stats IN.bnv                 print the numbers of topics, items, unchecked items and\n"
    "                               the deepest level\n"
    "  --help                       show this text\n"
    "\n"
    "Options:\n"
    "  --settings FILE.ini          take Kugiri, CekBox, CekMoj, SpRemv, EveryS, BackUp and\n"
    "                               BackUpPass from FILE.ini as the editor reads them (a\n"
    "                               missing file or key gives the default); without it the\n"
    "                               defaults apply\n";

struct UsageError {
    std::string text;
};

// The options the commands take from the settings.
struct CliSettings {
    ListKindOptions list;
    WriteOptions write;
    ReadOptions read;
};

CliSettings FromSettings(const Settings& settings) {
    CliSettings cli{settings.listKindOptions(), settings.writeOptions(), settings.readOptions()};
    // Without an image list every icon index is kept as read.
    cli.read.imageCount = kEveryIconIndex;
    return cli;
}

struct Invocation {
    std::vector<std::string> operands;
    CliSettings settings = FromSettings(Settings{});
};

void Expect(const Invocation& inv, size_t count, const std::string& command) {
    if (inv.operands.size() != count) {
        throw UsageError{command + " takes " + std::to_string(count) + " file argument" +
                         (count == 1 ? "" : "s")};
    }
}

ReadResult Open(const std::string& path, const CliSettings& settings) {
    return ReadDocument(path, settings.read);
}

int Export(const Invocation& inv, std::ostream&) {
    Expect(inv, 2, "export");
    ReadResult read = Open(inv.operands[0], inv.settings);
    WriteTextExport(*read.document, inv.operands[1], inv.settings.list);
    return 0;
}

// Writes doc like the editor's Save; a backup that cannot be made stops it.
void Save(Document& doc, const std::string& path, const DocumentGeometry& geometry,
          const WriteOptions& options) {
    WriteDocument(doc, path, geometry, options);
}

int Resave(const Invocation& inv, std::ostream&) {
    Expect(inv, 2, "resave");
    ReadResult read = Open(inv.operands[0], inv.settings);
    Save(*read.document, inv.operands[1], read.geometry.appliedTo({}), inv.settings.write);
    return 0;
}

int ImportText(const Invocation& inv, std::ostream&) {
    Expect(inv, 2, "import-text");
    FileBlock text = ReadFileBlock(inv.operands[0], 1);
    Document doc;
    PasteTreeBlock(doc, nullptr, std::move(text.block), text.size, kEveryIconIndex);
    Save(doc, inv.operands[1], DocumentGeometry{}, inv.settings.write);
    return 0;
}

int Stats(const Invocation& inv, std::ostream& out) {
    Expect(inv, 1, "stats");
    ReadResult read = Open(inv.operands[0], inv.settings);
    size_t items = 0;
    size_t unchecked = 0;
    int depth = 0;
    ForEachTopic(*read.document, [&](const Topic& t, int level) {
        depth = std::max(depth, level);
        items += t.items.size();
        for (size_t i = 0; i < t.items.size(); ++i) {
            ItemView item = t.items[i];
            unchecked += !item.checked() && item.kind(inv.settings.list) == ItemKind::Ordinary;
        }
    });
    out << "topics " << read.document->topicCount() << "\n"
        << "items " << items << "\n"
        << "unchecked " << unchecked << "\n"
        << "depth " << depth << "\n";
    return 0;
}

// Output that cannot be written (a full disk, a closed pipe) is a failure of the command.
void FlushOutput(std::ostream& out) {
    errno = 0;
    out.flush();
    if (!out) {
        int error = errno;
        throw Error(std::string("cannot write the output") +
                    (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
    }
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    static const std::map<std::string, std::function<int(const Invocation&, std::ostream&)>>
        kCommands = {
            {"export", Export},
            {"resave", Resave},
            {"import-text", ImportText},
            {"stats", Stats},
        };
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    auto command = kCommands.find(args[0]);
    try {
        if (args[0] == "--help" || args[0] == "-h") {
            out << kUsage;
            FlushOutput(out);
            return 0;
        }
        if (command == kCommands.end()) {
            throw UsageError{"unknown command '" + args[0] + "'"};
        }
        Invocation inv;
        for (size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--settings" || args[i].starts_with("--settings=")) {
                std::string file;
                if (args[i] != "--settings") {
                    file = args[i].substr(std::string_view("--settings=").size());
                } else if (++i < args.size()) {
                    file = args[i];
                }
                if (file.empty()) {
                    throw UsageError{"--settings needs a file"};
                }
                // Read as the editor reads it: a missing or unreadable file gives the defaults.
                inv.settings = FromSettings(ReadOptionSettings(IniFile(file)));
                continue;
            }
            if (args[i].size() > 1 && args[i][0] == '-') {
                throw UsageError{"unknown option '" + args[i] + "'"};
            }
            inv.operands.push_back(args[i]);
        }
        int code = command->second(inv, out);
        FlushOutput(out);
        return code;
    } catch (const UsageError& e) {
        err << "brenvale-cli: " << e.text << "\n" << kUsage;
        return 2;
    } catch (const Error& e) {
        err << "brenvale-cli: " << OneLine(e.what()) << "\n";
        return 1;
    }
}

}  // namespace brenvale
