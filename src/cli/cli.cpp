#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <ostream>
#include <string_view>

#include "cli/cli_output.h"
#include "common/byte_block.h"
#include "common/error.h"
#include "common/file_io.h"
#include "common/readable_file.h"
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
    "Usage: brenvale-cli COMMAND ARGUMENTS [--settings FILE.ini] [--no-backup] [--strict]\n"
    "\n"
    "Commands:\n"
    "  export IN.bnv OUT.txt        write the indented text export of IN\n"
    "  resave IN.bnv OUT.bnv        read IN as the editor opens it and save it as OUT\n"
    "  import-text IN.txt OUT.bnv   paste the lines of IN into a new document saved as OUT\n"
    "  stats IN.bnv                 print the numbers of topics, items, unchecked items and\n"
    "                               the deepest level\n"
    "  --help                       show this text\n"
    "\n"
    "An OUT of - is standard output; a pipe or a device is written as it stands. export and\n"
    "import-text never write over their IN.\n"
    "\n"
    "Options:\n"
    "  --settings FILE.ini          take Kugiri, CekBox, CekMoj, SpRemv, EveryS, BackUp and\n"
    "                               BackUpPass from FILE.ini as the editor reads them (a\n"
    "                               missing file or key gives the default); without it the\n"
    "                               defaults apply\n"
    "  --no-backup                  save without the backup that BackUp asks for\n"
    "  --strict                     fail, writing nothing, when IN holds lines that are not\n"
    "                               read or looks like UTF-8 text (warned about on standard\n"
    "                               error either way)\n";

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
    bool strict = false;
};

// A --strict run that stopped on the warnings it printed.
struct StrictStop {};

void Expect(const Invocation& inv, size_t count, const std::string& command) {
    if (inv.operands.size() != count) {
        throw UsageError{command + " takes " + std::to_string(count) + " file argument" +
                         (count == 1 ? "" : "s")};
    }
}

// Reads a document as the editor opens it; what the read leaves out goes to err, and stops a
// --strict run before anything is written.
ReadResult Open(const std::string& path, const Invocation& inv, std::ostream& err) {
    ReadResult read = ReadDocument(path, inv.settings.read);
    std::vector<std::string> warnings = ReadWarnings(read);
    for (const std::string& warning : warnings) {
        err << "brenvale-cli: " << path << ": " << warning << "\n";
    }
    if (inv.strict && !warnings.empty()) {
        throw StrictStop{};
    }
    return read;
}

// The output operand of a command that reads IN and writes OUT, refused when it is IN itself.
OutputKind OutputBeside(const Invocation& inv, const std::string& command) {
    const std::string& in = inv.operands[0];
    const std::string& out = inv.operands[1];
    if (out != "-" && IsSameFile(in, out)) {
        throw Error(out + " is the input file; " + command + " does not write over it");
    }
    return KindOfOutput(out);
}

void WriteOutput(OutputKind kind, const std::string& path, std::string_view bytes,
                 std::ostream& out) {
    if (kind == OutputKind::Stream) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    } else {
        WriteDirect(path, bytes);
    }
}

int Export(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Expect(inv, 2, "export");
    OutputKind kind = OutputBeside(inv, "export");
    ReadResult read = Open(inv.operands[0], inv, err);
    if (kind == OutputKind::File) {
        WriteTextExport(*read.document, inv.operands[1], inv.settings.list);
    } else {
        WriteOutput(kind, inv.operands[1], ExportText(*read.document, inv.settings.list), out);
    }
    return 0;
}

// Writes doc like the editor's Save; a pipe, a device or standard output just takes the bytes.
void Save(Document& doc, const std::string& path, const DocumentGeometry& geometry,
          const WriteOptions& options, std::ostream& out) {
    OutputKind kind = KindOfOutput(path);
    if (kind == OutputKind::File) {
        WriteDocument(doc, path, geometry, options);
    } else {
        WriteOutput(kind, path, SerializeDocument(doc, geometry, options.trimItemSpaces), out);
    }
}

int Resave(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Expect(inv, 2, "resave");
    ReadResult read = Open(inv.operands[0], inv, err);
    Save(*read.document, inv.operands[1], read.geometry.appliedTo({}), inv.settings.write, out);
    return 0;
}

int ImportText(const Invocation& inv, std::ostream& out, std::ostream&) {
    Expect(inv, 2, "import-text");
    OutputBeside(inv, "import-text");
    FileBlock text = ReadFileBlock(inv.operands[0], 1);
    Document doc;
    PasteTreeBlock(doc, nullptr, std::move(text.block), text.size, kEveryIconIndex);
    Save(doc, inv.operands[1], DocumentGeometry{}, inv.settings.write, out);
    return 0;
}

int Stats(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Expect(inv, 1, "stats");
    ReadResult read = Open(inv.operands[0], inv, err);
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

// The settings named by --settings, read as the editor reads its own: a missing file or key
// gives the default. A file that is there but cannot be read is an error here, since the
// caller named it.
CliSettings SettingsFrom(const std::string& file) {
    OpenedFile opened = OpenRegularFile(file);
    if (opened.fd >= 0) {
        ::close(opened.fd);
    } else if (opened.failure != OpenFailure::System || opened.error != ENOENT) {
        throw Error(OpenFailureText(file, opened));
    }
    return FromSettings(ReadOptionSettings(IniFile(file)));
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
    using Command = std::function<int(const Invocation&, std::ostream&, std::ostream&)>;
    static const std::map<std::string, Command> kCommands = {
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
        bool noBackup = false;
        for (size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--no-backup") {
                noBackup = true;
                continue;
            }
            if (args[i] == "--strict") {
                inv.strict = true;
                continue;
            }
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
                inv.settings = SettingsFrom(file);
                continue;
            }
            if (args[i].size() > 1 && args[i][0] == '-') {
                throw UsageError{"unknown option '" + args[i] + "'"};
            }
            inv.operands.push_back(args[i]);
        }
        if (noBackup) {
            inv.settings.write.backup = false;
        }
        int code = command->second(inv, out, err);
        FlushOutput(out);
        return code;
    } catch (const UsageError& e) {
        err << "brenvale-cli: " << e.text << "\n" << kUsage;
        return 2;
    } catch (const StrictStop&) {
        return 1;
    } catch (const BackupError& e) {
        err << "brenvale-cli: " << OneLine(e.what()) << " (--no-backup saves without one)\n";
        return 1;
    } catch (const Error& e) {
        err << "brenvale-cli: " << OneLine(e.what()) << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        err << "brenvale-cli: メモリが足りません\n";
        return 1;
    }
}

}  // namespace brenvale
