#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <ostream>
#include <string_view>

#include "cli/cli_arguments.h"
#include "cli/cli_output.h"
#include "cli/cli_schedule.h"
#include "cli/cli_usage.h"
#include "cli/merge_commands.h"
#include "cli/pdf_program.h"
#include "common/byte_block.h"
#include "common/cp932.h"
#include "common/error.h"
#include "common/file_io.h"
#include "common/path.h"
#include "common/readable_file.h"
#include "document/document_counts.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/item_kind.h"
#include "document/tree_clipboard.h"
#include "exchange/exchange_format.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace brenvale {

namespace {

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
    const ExchangeFormat* format = nullptr;
    std::optional<TextEncoding> encoding;
    std::optional<std::string> output;  // -o, for merge
    // The arguments as given, which the pdf command hands to the PDF program, and the writer
    // that paints the PDF in that program.
    const std::vector<std::string>* args = nullptr;
    const PdfWriter* pdf = nullptr;
};

const ExchangeFormat* ParseFormat(const std::string& name) {
    if (const ExchangeFormat* format = FormatNamed(name)) {
        return format;
    }
    std::string names = CliFormatNames();
    std::replace(names.begin(), names.end(), '|', ',');
    throw UsageError{"unknown format '" + name + "' (" + names + ")"};
}

TextEncoding ParseEncoding(const std::string& name) {
    if (std::optional<TextEncoding> encoding = EncodingNamed(name)) {
        return *encoding;
    }
    throw UsageError{"unknown encoding '" + name + "' (cp932 or utf-8)"};
}

// The format in the encoding asked for, or its own; an encoding it is never written in is a
// mistake (Markdown and OPML are UTF-8 by definition).
FormatChoice ChoiceFor(const Invocation& inv, const ExchangeFormat& format) {
    TextEncoding encoding = inv.encoding.value_or(format.encodings.front());
    if (std::find(format.encodings.begin(), format.encodings.end(), encoding) ==
        format.encodings.end()) {
        throw UsageError{std::string(format.caption) + " is always " +
                         std::string(EncodingName(format.encodings.front()))};
    }
    return FormatChoice{&format, encoding};
}

// Options that only some commands take.
void Refuse(const Invocation& inv, bool format, bool encoding, const std::string& command) {
    if ((inv.format && !format) || (inv.encoding && !encoding)) {
        throw UsageError{command + " takes no " +
                         (inv.format && !format ? "--format" : "--encoding")};
    }
}

// The document's name, for an OPML head and a PDF footer: the file name without folder.
std::string TitleOf(const std::string& path) {
    return std::string(FileNamePart(path));
}

// A --strict run that stopped on the warnings it printed.
struct StrictStop {};

void Expect(const Invocation& inv, size_t count, const std::string& command) {
    if (inv.operands.size() != count) {
        throw UsageError{command + " takes " + std::to_string(count) + " file argument" +
                         (count == 1 ? "" : "s")};
    }
}

// Tells err what a read of path left out or may have misread (a file named as a format that
// import reads, which does not start as a document), and stops a --strict run on it before
// anything is written.
void Warn(const std::string& path, std::vector<std::string> warnings, const Invocation& inv,
          std::ostream& err) {
    const ExchangeFormat* format = FormatOfFileName(path);
    if (format && PeekTextKind(path).value_or(TextKind::Document) != TextKind::Document) {
        warnings.insert(warnings.begin(),
                        "名前からすると " + std::string(format->caption) +
                            " のファイルのようです。文書として読みました（取り込むには import "
                            "を使います）。");
    }
    for (const std::string& warning : warnings) {
        err << "brenvale-cli: " << path << ": " << warning << "\n";
    }
    if (inv.strict && !warnings.empty()) {
        throw StrictStop{};
    }
}

// Reads a document as the editor opens it, with the warnings of Warn.
ReadResult Open(const std::string& path, const Invocation& inv, std::ostream& err) {
    ReadResult read = ReadDocument(path, inv.settings.read);
    Warn(path, ReadWarnings(read), inv, err);
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

// Hands an export's blocks to standard output.
class StreamSink : public ByteSink {
public:
    explicit StreamSink(std::ostream& out) : out_(out) {}
    void Write(std::string_view bytes) override {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::ostream& out_;
};

// Hands an export's blocks to a pipe or a device, through one descriptor.
class DirectSink : public ByteSink {
public:
    explicit DirectSink(DirectOutput& out) : out_(out) {}
    void Write(std::string_view bytes) override { out_.write(bytes); }

private:
    DirectOutput& out_;
};

int Export(const Invocation& inv, std::ostream& out, std::ostream& err) {
    // Without OUT the export goes to standard output, as a diff's text conversion takes it.
    Invocation with = inv;
    if (with.operands.size() == 1) {
        with.operands.push_back("-");
    }
    Expect(with, 2, "export");
    FormatChoice choice = ChoiceFor(with, *(with.format ? with.format : FormatNamed("txt")));
    OutputKind kind = OutputBeside(with, "export");
    ReadResult read = Open(with.operands[0], with, err);
    const std::string& path = with.operands[1];
    std::string title = TitleOf(with.operands[0]);
    if (kind == OutputKind::File) {
        WriteExportFile(choice, *read.document, with.settings.list, title, path);
        return 0;
    }
    ExportJob job{*read.document, with.settings.list, choice.encoding, title};
    if (kind == OutputKind::Stream) {
        StreamSink sink(out);
        choice.format->write(job, sink);
        return 0;
    }
    DirectOutput writer(path);
    DirectSink sink(writer);
    choice.format->write(job, sink);
    writer.close();
    return 0;
}

// Output that cannot be written (a full disk, a closed pipe) is a failure of the command.
void FlushOutput(std::ostream& out);

int Pdf(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Expect(inv, 2, "pdf");
    OutputKind kind = OutputBeside(inv, "pdf");
    if (!inv.pdf || !*inv.pdf) {
        // The pages need Qt: the PDF program reads the document and writes them. A file that
        // is plainly not a document is refused here alike, whether that program is there or not.
        PeekTextKind(inv.operands[0]);
        FlushOutput(out);
        return RunPdfProgram(*inv.args, err);
    }
    ReadResult read = Open(inv.operands[0], inv, err);
    PrintJob job;
    job.document = read.document.get();
    job.kinds = inv.settings.list;
    job.title = TitleOf(inv.operands[0]);
    (*inv.pdf)(job, inv.operands[1], kind, out);
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
    Refuse(inv, false, false, "resave");
    ReadResult read = Open(inv.operands[0], inv, err);
    Save(*read.document, inv.operands[1], read.geometry.appliedTo({}), inv.settings.write, out);
    return 0;
}

// Reads IN as choice says into a new document saved as OUT: an outline as the editor imports
// it, text pasted line by line as the tree paste takes it.
int ImportAs(const Invocation& inv, const FormatChoice& choice, std::ostream& out) {
    ImportSource source(inv.operands[0]);
    ImportedFile file = ReadImport(choice, source);
    Document doc;
    if (file.outline) {
        file.outline->build(doc, kEveryIconIndex, source.name());
    } else {
        PasteTreeBlock(doc, nullptr, std::move(file.lines.block), file.lines.size, kEveryIconIndex);
    }
    Save(doc, inv.operands[1], DocumentGeometry{}, inv.settings.write, out);
    return 0;
}

int ImportText(const Invocation& inv, std::ostream& out, std::ostream&) {
    Expect(inv, 2, "import-text");
    Refuse(inv, false, true, "import-text");
    FormatChoice choice = ChoiceFor(inv, *FormatNamed("txt"));
    OutputBeside(inv, "import-text");
    return ImportAs(inv, choice, out);
}

int Import(const Invocation& inv, std::ostream& out, std::ostream&) {
    Expect(inv, 2, "import");
    const ExchangeFormat* format = inv.format ? inv.format : FormatOfFileName(inv.operands[0]);
    if (!format) {
        std::string names = CliFormatNames();
        std::replace(names.begin(), names.end(), '|', ',');
        throw UsageError{"import cannot tell the format of " + inv.operands[0] +
                         " by its name: give --format " + names};
    }
    FormatChoice choice = ChoiceFor(inv, *format);
    OutputBeside(inv, "import");
    return ImportAs(inv, choice, out);
}

// Counts the document as the editor would open it, without building it.
int Stats(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Expect(inv, 1, "stats");
    Refuse(inv, false, false, "stats");
    const std::string& path = inv.operands[0];
    DocumentCounts counts = CountDocument(path, inv.settings.list);
    Warn(path, ReadWarningTexts(counts.utf8, counts.unreadLines), inv, err);
    out << "topics " << counts.topics << "\n"
        << "items " << counts.items << "\n"
        << "unchecked " << counts.unchecked << "\n"
        << "depth " << counts.depth << "\n";
    return 0;
}

CompareOptions CompareOptionsOf(const Invocation& inv) {
    return {inv.settings.read, inv.settings.write, inv.strict, inv.output};
}

int Merge(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Refuse(inv, false, false, "merge");
    if (inv.operands.size() != 2 && inv.operands.size() != 3) {
        throw UsageError{"merge takes BASE OURS THEIRS, or OURS THEIRS"};
    }
    return MergeCommand(inv.operands, CompareOptionsOf(inv), out, err);
}

int Diff(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Expect(inv, 2, "diff");
    Refuse(inv, false, false, "diff");
    return DiffCommand(inv.operands, CompareOptionsOf(inv), out, err);
}

CliSettings SettingsFrom(const std::string& file) {
    return FromSettings(SettingsNamedBy(file));
}

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

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const PdfWriter& pdf) {
    using Command = std::function<int(const Invocation&, std::ostream&, std::ostream&)>;
    static const std::map<std::string, Command> kCommands = {
        {"export", Export},          {"import", Import}, {"pdf", Pdf},     {"resave", Resave},
        {"import-text", ImportText}, {"stats", Stats},   {"merge", Merge}, {"diff", Diff},
    };
    if (args.empty()) {
        err << CliUsage();
        return 2;
    }
    if (std::optional<int> code = RunScheduleCommand(args, out, err)) {
        return *code;
    }
    auto command = kCommands.find(args[0]);
    // merge and diff tell a difference or a conflict by 1, so their failures are 2.
    const int failure = args[0] == "merge" || args[0] == "diff" ? 2 : 1;
    try {
        if (args[0] == "--help" || args[0] == "-h") {
            out << CliUsage();
            FlushOutput(out);
            return 0;
        }
        if (command == kCommands.end()) {
            throw UsageError{"unknown command '" + args[0] + "'"};
        }
        Invocation inv;
        inv.args = &args;
        inv.pdf = &pdf;
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
            if (auto value = OptionValue(args, i, "--format")) {
                inv.format = ParseFormat(*value);
                continue;
            }
            if (auto value = OptionValue(args, i, "--encoding")) {
                inv.encoding = ParseEncoding(*value);
                continue;
            }
            if (args[0] == "merge") {
                if (auto value = OptionValue(args, i, "-o")) {
                    inv.output = *value;
                    continue;
                }
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
        err << "brenvale-cli: " << e.text << "\n" << CliUsage();
        return 2;
    } catch (const StrictStop&) {
        return failure;
    } catch (const BackupError& e) {
        err << "brenvale-cli: " << OneLine(e.what()) << " (--no-backup saves without one)\n";
        return failure;
    } catch (const Error& e) {
        err << "brenvale-cli: " << OneLine(e.what()) << "\n";
        return failure;
    } catch (const std::bad_alloc&) {
        err << "brenvale-cli: メモリが足りません\n";
        return failure;
    }
}

}  // namespace brenvale
