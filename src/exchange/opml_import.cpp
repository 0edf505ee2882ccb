#include <expat.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "common/error.h"
#include "common/hex.h"
#include "exchange/opml.h"
#include "exchange/opml_entities.h"
#include "exchange/opml_names.h"
#include "exchange/opml_text.h"

namespace brenvale {

namespace {

constexpr size_t kNone = OutlineImport::kNoTopic;
// The file is handed to the parser this much at a time (less for a smaller one).
constexpr uint64_t kPiece = 1 << 20;
constexpr uint64_t kSmallestPiece = 4 << 10;
// Between a namespace and a local name in the names the parser reports.
constexpr char kNamespaceEnd = ' ';

std::string_view LocalName(std::string_view name) {
    size_t end = name.rfind(kNamespaceEnd);
    return end == std::string_view::npos ? name : name.substr(end + 1);
}

// The place after bytes of the file that start at `from`.
SourcePlace Advance(SourcePlace from, std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\n' || c == '\r') {
            ++from.line;
            from.column = 1;
            i += c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 1 : 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++from.column;
        }
    }
    return from;
}

std::optional<int> IconNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

class OpmlReader {
public:
    OpmlReader(OutlineImport& out, std::string_view sourceName);
    ~OpmlReader() { XML_ParserFree(parser_); }
    OpmlReader(const OpmlReader&) = delete;
    OpmlReader& operator=(const OpmlReader&) = delete;

    void read(ImportSource& source);

private:
    enum class Kind { Unknown, Topic, Item, Separator, NoBox };
    enum class State { Open, Topic, Item };

    // An outline element being read: an outline without the program's kind is a Topic once
    // a child outline starts inside it, an Item when it ends without one.
    struct Frame {
        State state = State::Open;
        Kind kind = Kind::Unknown;
        size_t topic = kNone;  // its index, once it is a Topic
        size_t owner = kNone;  // the Topic its Items go to
        size_t level = 0;      // as a Topic
        std::string text;
        std::string note;
        bool checked = false;
        int icon = 0;
        std::optional<std::string> mark;
        std::optional<std::string> exact;
        SourcePlace tagPlace;
    };

    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes);
    static void XMLCALL OnEnd(void* self, const XML_Char* name);
    static void XMLCALL OnText(void* self, const XML_Char* text, int length);
    static void XMLCALL OnEntity(void* self, const XML_Char* name, int parameter,
                                 const XML_Char* value, int length, const XML_Char*,
                                 const XML_Char*, const XML_Char*, const XML_Char*);
    static void XMLCALL OnSkipped(void* self, const XML_Char* name, int parameter);
    // Runs a handler's work; an exception stops the parser and is thrown again once the
    // parser has returned, since it cannot pass through the parser's C code.
    template <typename Work>
    void guarded(Work work);

    void start(std::string_view name, const XML_Char** attributes);
    void end(std::string_view name);
    [[noreturn]] void fail(const std::string& why, SourcePlace where) const;
    [[noreturn]] void failParse() const;
    SourcePlace eventStart() const;
    std::string_view eventBytes() const;
    [[noreturn]] void failUndefined(std::string_view name) const;
    void startOutline(const XML_Char** attributes);
    void endOutline();
    void makeTopic(Frame& f);
    void makeItem(Frame& f);
    void emitText(Frame& f, std::string_view prefix, std::string_view text);
    void addNote(Frame& f, size_t owner);

    XML_Parser parser_;
    OutlineImport& out_;
    std::string_view sourceName_;
    std::exception_ptr error_;
    bool root_ = false;
    int level_ = 0;  // elements open
    int body_ = 0;   // the level of <body>, 0 outside it
    int skip_ = 0;   // the level of an element whose content is skipped, 0 for none
    int title_ = 0;  // the level of <title> while it is read
    std::string titleText_;
    std::vector<Frame> frames_;  // reused: frames_[0, depth_) are open
    size_t depth_ = 0;
    std::string scratch_;
    bool standalone_ = true;  // no external subset or parameter entity the parser skips
    DeclaredEntities entities_;
};

OpmlReader::OpmlReader(OutlineImport& out, std::string_view sourceName)
    : parser_(XML_ParserCreateNS(nullptr, kNamespaceEnd)), out_(out), sourceName_(sourceName) {
    if (!parser_) {
        throw std::bad_alloc();
    }
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, OnStart, OnEnd);
    // External entities and the external DTD subset are never read (no handler loads them),
    // and the expansion of internal entities stays bounded.
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser_, 100.0F);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser_, 8 << 20);
    // Without them, a reference to an entity nothing declares is dropped in silence: see
    // DeclaredEntities. An external general entity in content is refused.
    XML_SetEntityDeclHandler(parser_, OnEntity);
    XML_SetSkippedEntityHandler(parser_, OnSkipped);
    XML_SetNotStandaloneHandler(parser_, [](void* self) {
        static_cast<OpmlReader*>(self)->standalone_ = false;
        return static_cast<int>(XML_STATUS_OK);
    });
    XML_SetExternalEntityRefHandler(
        parser_, [](XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*,
                    const XML_Char*) { return static_cast<int>(XML_STATUS_ERROR); });
}

void XMLCALL OpmlReader::OnEntity(void* self, const XML_Char* name, int parameter,
                                  const XML_Char* value, int length, const XML_Char*,
                                  const XML_Char*, const XML_Char*, const XML_Char*) {
    if (!parameter) {
        static_cast<OpmlReader*>(self)->entities_.declare(name, value, length);
    }
}

void XMLCALL OpmlReader::OnSkipped(void* self, const XML_Char* name, int parameter) {
    auto* reader = static_cast<OpmlReader*>(self);
    if (!parameter) {
        reader->guarded([&] { reader->failUndefined(name); });
    }
}

void XMLCALL OpmlReader::OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    auto* reader = static_cast<OpmlReader*>(self);
    reader->guarded([&] { reader->start(name, attributes); });
}

void XMLCALL OpmlReader::OnEnd(void* self, const XML_Char* name) {
    auto* reader = static_cast<OpmlReader*>(self);
    reader->guarded([&] { reader->end(name); });
}

void XMLCALL OpmlReader::OnText(void* self, const XML_Char* text, int length) {
    auto* reader = static_cast<OpmlReader*>(self);
    if (reader->level_ == reader->title_) {
        reader->titleText_.append(text, static_cast<size_t>(length));
    }
}

template <typename Work>
void OpmlReader::guarded(Work work) {
    if (error_) {
        return;
    }
    try {
        work();
    } catch (...) {
        error_ = std::current_exception();
        XML_StopParser(parser_, XML_FALSE);
    }
}

SourcePlace OpmlReader::eventStart() const {
    // The parser counts columns from 0.
    return {static_cast<uint32_t>(XML_GetCurrentLineNumber(parser_)),
            static_cast<uint32_t>(XML_GetCurrentColumnNumber(parser_) + 1)};
}

std::string_view OpmlReader::eventBytes() const {
    int offset = 0;
    int size = 0;
    const char* context = XML_GetInputContext(parser_, &offset, &size);
    int count = XML_GetCurrentByteCount(parser_);
    if (!context || count <= 0 || offset < 0 || offset + count > size) {
        return {};
    }
    return std::string_view(context + offset, static_cast<size_t>(count));
}

void OpmlReader::fail(const std::string& why, SourcePlace where) const {
    throw Error("「" + std::string(sourceName_) + "」を OPML として読めません: " + why + " (" +
                std::to_string(where.line) + " 行 " + std::to_string(where.column) + " 桁)");
}

void OpmlReader::failUndefined(std::string_view name) const {
    fail(
        std::string(XML_ErrorString(XML_ERROR_UNDEFINED_ENTITY)) + " (&" + std::string(name) + ";)",
        eventStart());
}

void OpmlReader::failParse() const {
    XML_Error code = XML_GetErrorCode(parser_);
    SourcePlace where{static_cast<uint32_t>(XML_GetErrorLineNumber(parser_)),
                      static_cast<uint32_t>(XML_GetErrorColumnNumber(parser_) + 1)};
    switch (code) {
        case XML_ERROR_TAG_MISMATCH: {
            // The place after the end tag that does not match, the whole of it read.
            int offset = 0;
            int size = 0;
            const char* context = XML_GetInputContext(parser_, &offset, &size);
            if (context && offset >= 0 && offset < size) {
                std::string_view rest(context + offset, static_cast<size_t>(size - offset));
                where = Advance(where, rest.substr(0, rest.find('>') + 1));
            }
            fail("Opening and ending tag mismatch.", where);
        }
        case XML_ERROR_NO_ELEMENTS:
        case XML_ERROR_UNCLOSED_TOKEN:
        case XML_ERROR_PARTIAL_CHAR:
            fail("Premature end of document.", where);
        default:
            fail(XML_ErrorString(code), where);
    }
}

void OpmlReader::start(std::string_view name, const XML_Char** attributes) {
    ++level_;
    if (skip_ > 0) {
        return;
    }
    if (!standalone_) {
        if (std::string_view undefined = entities_.firstUndeclared(eventBytes());
            !undefined.empty()) {
            failUndefined(undefined);
        }
    }
    std::string_view local = LocalName(name);
    if (!root_) {
        if (local != "opml") {
            fail("最初の要素が <opml> ではありません", Advance(eventStart(), eventBytes()));
        }
        root_ = true;
    } else if (level_ == 2 && local == "body") {
        body_ = level_;
    } else if (level_ == 3 && local == "title" && body_ == 0) {
        title_ = level_;
        titleText_.clear();
        XML_SetCharacterDataHandler(parser_, OnText);
    } else if (body_ > 0 && local == "outline") {
        startOutline(attributes);
    } else if (body_ > 0) {
        // Elements of other formats inside the body carry nothing for a check list.
        skip_ = level_;
    }
}

void OpmlReader::end(std::string_view name) {
    if (skip_ > 0) {
        skip_ = level_ == skip_ ? 0 : skip_;
    } else if (level_ == title_) {
        title_ = 0;
        XML_SetCharacterDataHandler(parser_, nullptr);
        std::optional<std::string> title = Utf8ToCp932(titleText_);
        if (title && !title->empty()) {
            out_.setFallbackCaption(*title);
        }
    } else if (body_ > 0 && level_ > body_ && depth_ > 0 && LocalName(name) == "outline") {
        endOutline();
    } else if (level_ == body_) {
        body_ = 0;
    }
    --level_;
}

void OpmlReader::emitText(Frame& f, std::string_view prefix, std::string_view text) {
    // The exact bytes count only while the text still reads as they do: a text changed
    // since (in another outliner) takes its new characters.
    if (f.exact) {
        scratch_.clear();
        AppendXmlText(scratch_, *f.exact, false);
        std::string_view shown = scratch_;
        if (shown.size() == prefix.size() + text.size() && shown.starts_with(prefix) &&
            shown.ends_with(text)) {
            out_.exactText(*f.exact);
            return;
        }
    }
    out_.text(prefix);
    out_.text(text);
}

void OpmlReader::addNote(Frame& f, size_t owner) {
    if (!f.note.empty()) {
        out_.item(owner, false, f.tagPlace);
        out_.text("-");
        out_.text(f.note);
    }
}

void OpmlReader::makeTopic(Frame& f) {
    f.state = State::Topic;
    f.topic = out_.topic(f.level, f.icon, f.tagPlace);
    emitText(f, {}, f.text);
    addNote(f, f.topic);
}

void OpmlReader::makeItem(Frame& f) {
    f.state = State::Item;
    out_.item(f.owner, f.checked, f.tagPlace);
    if (f.kind == Kind::Separator) {
        emitText(f, "-", {});
    } else {
        emitText(f, f.kind == Kind::NoBox ? "-" : "", f.text);
    }
    if (f.mark) {
        out_.exactMark(*f.mark);
    }
    addNote(f, f.owner);
}

void OpmlReader::startOutline(const XML_Char** attributes) {
    if (depth_ > 0 && frames_[depth_ - 1].state == State::Open) {
        makeTopic(frames_[depth_ - 1]);
    }
    if (frames_.size() == depth_) {
        frames_.emplace_back();
    }
    Frame& f = frames_[depth_];
    f.state = State::Open;
    f.kind = Kind::Unknown;
    f.topic = kNone;
    f.text.clear();
    f.note.clear();
    f.checked = false;
    f.icon = 0;
    f.mark.reset();
    f.exact.reset();
    f.tagPlace = eventStart();
    if (depth_ == 0) {
        f.owner = kNone;
        f.level = 0;
    } else {
        // Below an Item (possible only in a file edited by hand) outlines go where its own
        // siblings go.
        const Frame& parent = frames_[depth_ - 1];
        bool topic = parent.state == State::Topic;
        f.owner = topic ? parent.topic : parent.owner;
        f.level = topic ? parent.level + 1 : parent.level;
    }
    bool hasText = false;
    std::string_view title;
    for (const XML_Char** a = attributes; *a; a += 2) {
        std::string_view name = a[0];
        std::string_view value = a[1];
        size_t end = name.rfind(kNamespaceEnd);
        if (end == std::string_view::npos) {
            if (name == "text") {
                f.text.assign(value);
                hasText = true;
            } else if (name == "title") {
                title = value;
            } else if (name == "_status") {
                f.checked = f.checked || value == "checked";
            } else if (name == "_complete") {
                // How some outliners mark a finished item.
                f.checked = f.checked || value == "true";
            } else if (name == "_note") {
                f.note.assign(value);
            }
        } else if (name.substr(0, end) == kOpmlNamespace) {
            std::string_view field = name.substr(end + 1);
            if (field == kOpmlKind) {
                f.kind = value == "topic"       ? Kind::Topic
                         : value == "item"      ? Kind::Item
                         : value == "separator" ? Kind::Separator
                         : value == "nobox"     ? Kind::NoBox
                                                : Kind::Unknown;
            } else if (field == kOpmlIcon) {
                std::optional<int> icon = IconNumber(value);
                f.icon = icon && *icon <= 99 ? *icon : 0;
            } else if (field == kOpmlMark) {
                f.mark = BytesOfHex(value);
                if (f.mark && f.mark->size() > 2) {
                    f.mark.reset();
                }
            } else if (field == kOpmlCp932) {
                f.exact = BytesOfHex(value);
            }
        }
    }
    if (!hasText) {
        f.text.assign(title);
    }
    ++depth_;
    if (f.kind == Kind::Topic) {
        makeTopic(f);
    } else if (f.kind != Kind::Unknown) {
        makeItem(f);
    }
}

void OpmlReader::endOutline() {
    Frame& f = frames_[--depth_];
    if (f.state == State::Open) {
        makeItem(f);
    }
}

void OpmlReader::read(ImportSource& source) {
    const auto piece = static_cast<int>(std::clamp(source.size() + 1, kSmallestPiece, kPiece));
    for (;;) {
        void* buffer = XML_GetBuffer(parser_, piece);
        if (!buffer) {
            throw std::bad_alloc();
        }
        size_t read = source.read(static_cast<char*>(buffer), static_cast<size_t>(piece));
        XML_Status status = XML_ParseBuffer(parser_, static_cast<int>(read), read == 0);
        if (error_) {
            std::rethrow_exception(error_);
        }
        if (status != XML_STATUS_OK) {
            failParse();
        }
        if (read == 0) {
            break;
        }
    }
    if (!root_) {
        fail("<opml> 要素がありません", eventStart());
    }
}

}  // namespace

void ReadOpml(ImportSource& source, OutlineImport& outline) {
    outline.reserve(source.size());
    outline.nameSource(source.name());
    OpmlReader(outline, source.name()).read(source);
}

void ReadOpml(std::string_view bytes, OutlineImport& outline, std::string_view sourceName) {
    ImportSource source(bytes, std::string(sourceName));
    ReadOpml(source, outline);
}

}  // namespace brenvale
