#include "survey/survey_line_xml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>
#include <limits>
#include <optional>
#include <vector>

#include <pugixml.hpp>

#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/text_codec.h"
#include "survey/file_group.h"

namespace velk {

namespace {

constexpr std::string_view kShiftJisDeclaration = "<?xml version='1.0' encoding='Shift_JIS'?>";
constexpr std::string_view kUtf8Declaration = "<?xml version='1.0' encoding='UTF-8'?>";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// --- Writing ---------------------------------------------------------------------------------

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

void AddText(pugi::xml_node& parent, const char* name, const std::string& text)
{
    pugi::xml_node e = parent.append_child(name);
    e.append_child(pugi::node_pcdata).set_value(text.c_str());
}

void AddInt(pugi::xml_node& parent, const char* name, int32_t value) { AddText(parent, name, FormatC("%d", value)); }

void AddFloat(pugi::xml_node& parent, const char* name, float value)
{
    AddText(parent, name, FormatC("%f", static_cast<double>(value)));
}


// The document's bytes: CP932 behind the Shift_JIS declaration when every character survives
// the trip there and back, else UTF-8 declared as such; nothing when the text is not UTF-8.
std::optional<std::string> EncodeDocument(const std::string& body)
{
    if (const std::optional<std::string> cp932 = TextCodec::Utf8ToCp932(body)) {
        if (TextCodec::Cp932ToUtf8(*cp932) == body) return std::string(kShiftJisDeclaration) + *cp932;
    }
    if (!TextCodec::IsValidUtf8(body)) return std::nullopt;
    return std::string(kUtf8Declaration) + body;
}

// --- Reading ---------------------------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view t)
{
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
    return t;
}

std::string TextOf(const pugi::xml_node& e) { return std::string(Trim(e.child_value())); }

// The leading number of the trimmed text, as "%d" and "%f" take it in the C locale.
std::optional<int32_t> LeadingInt(const pugi::xml_node& e)
{
    std::string_view t = Trim(e.child_value());
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty() || t.front() == '+') return std::nullopt;
    int32_t v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc()) return std::nullopt;
    return v;
}

std::optional<float> LeadingFloat(const pugi::xml_node& e)
{
    std::string_view t = Trim(e.child_value());
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty() || t.front() == '+') return std::nullopt;
    double v = 0.0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
    if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(v);
}

void TakeInt(const pugi::xml_node& e, int32_t& field)
{
    if (const auto v = LeadingInt(e)) field = *v;
}

void TakeFloat(const pugi::xml_node& e, float& field)
{
    if (const auto v = LeadingFloat(e)) field = *v;
}

bool Named(const pugi::xml_node& e, const char* name) { return std::string_view(e.name()) == name; }

size_t Utf8Length(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    return 2;
}

// The longest head of the UTF-8 text whose CP932 form has at most maxBytes bytes, cut between
// characters. A character without a CP932 form counts with its UTF-8 length.
std::string CutToCp932Bytes(const std::string& text, size_t maxBytes)
{
    size_t used = 0;
    size_t i = 0;
    while (i < text.size()) {
        const size_t len = std::min(Utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string_view ch(text.data() + i, len);
        const std::optional<std::string> cp = TextCodec::Utf8ToCp932(ch);
        const size_t bytes = cp ? cp->size() : len;
        if (used + bytes > maxBytes) break;
        used += bytes;
        i += len;
    }
    return text.substr(0, i);
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The encoding named by the declaration at the start of the bytes: empty when there is no
// declaration or it names none; nullopt when the declaration is not closed.
std::optional<std::string> DeclaredEncoding(std::string_view bytes)
{
    if (bytes.size() < 6 || bytes.substr(0, 5) != "<?xml" || !IsBlank(bytes[5])) return std::string();
    const size_t end = bytes.find("?>");
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view decl = bytes.substr(5, end - 5);
    const size_t key = decl.find("encoding");
    if (key == std::string_view::npos) return std::string();
    std::string_view rest = decl.substr(key + 8);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty() || (rest.front() != '\'' && rest.front() != '"')) return std::nullopt;
    const char quote = rest.front();
    rest.remove_prefix(1);
    const size_t close = rest.find(quote);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(rest.substr(0, close));
}

// The document as UTF-8, by its declaration; nothing when the encoding is not one we read or
// the bytes are not valid in it, with the reason in `why`.
std::optional<std::string> DocumentAsUtf8(std::string_view bytes, int language, std::string& why)
{
    const bool bom = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (bom) bytes.remove_prefix(kByteOrderMark.size());
    const std::optional<std::string> encoding = DeclaredEncoding(bytes);
    if (!encoding) {
        why = Msg(language, "its XML declaration is not closed", "XML 宣言が閉じていません");
        return std::nullopt;
    }
    if (encoding->empty() || EqualNoCase(*encoding, "UTF-8")) {
        if (!TextCodec::IsValidUtf8(bytes)) {
            why = Msg(language, "its bytes are not valid UTF-8", "UTF-8 として正しくないバイトがあります");
            return std::nullopt;
        }
        return std::string(bytes);
    }
    if (bom) {
        why = FormatC(Msg(language, "it starts with a UTF-8 byte-order mark but declares the encoding \"%s\"",
                          "UTF-8 のバイトオーダーマークで始まりますが、エンコーディング \"%s\" を宣言しています")
                          .c_str(),
                      encoding->c_str());
        return std::nullopt;
    }
    for (const char* name : {"Shift_JIS", "SJIS", "CP932", "Windows-31J"}) {
        if (!EqualNoCase(*encoding, name)) continue;
        std::optional<std::string> text = TextCodec::Cp932ToUtf8(bytes);
        if (!text) why = Msg(language, "its bytes are not valid Shift_JIS", "Shift_JIS として正しくないバイトがあります");
        return text;
    }
    why = FormatC(Msg(language, "the encoding \"%s\" is not one this program reads",
                      "エンコーディング \"%s\" は読み込めません")
                      .c_str(),
                  encoding->c_str());
    return std::nullopt;
}

// True when every name and value in the tree is valid UTF-8. A character reference can decode
// to text that is not (a lone surrogate such as &#xDDDD;), which no document can store.
bool TreeIsValidUtf8(const pugi::xml_node& node)
{
    if (!TextCodec::IsValidUtf8(node.name()) || !TextCodec::IsValidUtf8(node.value())) return false;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (!TextCodec::IsValidUtf8(a.name()) || !TextCodec::IsValidUtf8(a.value())) return false;
    }
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (!TreeIsValidUtf8(child)) return false;
    }
    return true;
}

// The one root element `line` of a well-formed document; an empty node otherwise.
pugi::xml_node LineRoot(const pugi::xml_document& doc)
{
    pugi::xml_node root;
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        switch (n.type()) {
        case pugi::node_element:
            if (root) return {};
            root = n;
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            if (!Trim(n.value()).empty()) return {};
            break;
        default: break;
        }
    }
    return root && Named(root, "line") ? root : pugi::xml_node();
}

void ReadGeometry(const pugi::xml_node& geometry, MamGeometryValues& v)
{
    for (pugi::xml_node e = geometry.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        if (Named(e, "iGeometry")) TakeInt(e, v.iGeometry);
        else if (Named(e, "ArraySize")) TakeFloat(e, v.ArraySize);
        else if (Named(e, "Angle")) TakeFloat(e, v.Angle);
        else if (Named(e, "nReceiver")) TakeInt(e, v.nReceiver);
        else if (Named(e, "iStartChannel")) TakeInt(e, v.startChannel);
        else if (Named(e, "Reverse")) TakeInt(e, v.reverse);
        else if (Named(e, "SpacingForLinearArray")) TakeFloat(e, v.SpacingForLinearArray);
    }
}

}  // namespace

// --- One entry -------------------------------------------------------------------------------

void WriteFileEntryXml(pugi::xml_node& file, const FileListEntry& e, int32_t lineType)
{
    // A `number_of_auxiliary` element gives the entry a type of its own when read back. An
    // entry without one is read with the line's type: it is written without the element while
    // it has no auxiliary channels, and with the line's type as its own when it has, so it keeps
    // its reader either way.
    const bool ownType = e.hasType == 1;
    const bool writeAuxiliary = ownType || e.numberOfAuxiliary != 0;
    if (e.inUse == 1) AddText(file, "file_name", e.fileName);
    AddInt(file, "id", e.id);
    if (ownType) AddInt(file, "file_type", e.fileType);
    else if (writeAuxiliary) AddInt(file, "file_type", lineType);
    AddFloat(file, "shot_distance", e.shotDistance);
    AddFloat(file, "first_receiver", e.firstReceiver);
    AddFloat(file, "receiver_interval", e.receiverInterval);
    if (writeAuxiliary) AddInt(file, "number_of_auxiliary", e.numberOfAuxiliary);
}

void ReadFileEntryXml(const pugi::xml_node& file, FileListEntry& entry)
{
    for (pugi::xml_node e = file.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        if (Named(e, "file_name")) {
            std::string name = TextOf(e);
            if (name.empty()) continue;
            entry.fileName = std::move(name);
            entry.inUse = 1;
        } else if (Named(e, "id")) {
            TakeInt(e, entry.id);
        } else if (Named(e, "file_type")) {
            if (const auto v = LeadingInt(e)) {
                entry.fileType = *v;
                entry.hasType = 1;
            }
        } else if (Named(e, "number_of_auxiliary")) {
            if (const auto v = LeadingInt(e)) {
                entry.numberOfAuxiliary = *v;
                entry.hasType = 1;
            }
        } else if (Named(e, "first_receiver")) {
            TakeFloat(e, entry.firstReceiver);
        } else if (Named(e, "receiver_interval")) {
            TakeFloat(e, entry.receiverInterval);
        } else if (Named(e, "shot_distance")) {
            TakeFloat(e, entry.shotDistance);
        }
    }
}

// --- The document ----------------------------------------------------------------------------

std::optional<std::string> LineXmlBytes(const SurveyLine& line, CFileGroup& group, const MamGeometrySlot& slot)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("line");
    AddText(root, "line_name", line.lineName);
    AddInt(root, "line_id", line.lineId);
    AddInt(root, "qkw_menu", line.qkwMenu);
    if (line.qkwMenu != 0) {
        AddText(root, "qkw_menu_name", line.qkwMenuName);
        AddInt(root, "procedure_step", line.procedureStep);
    }
    AddInt(root, "file_type", group.fileType);
    AddInt(root, "apply_source_position", group.sourceFromFile[static_cast<size_t>(group.CurrentType())]);
    AddInt(root, "apply_receiver_position", group.receiversFromFile[static_cast<size_t>(group.CurrentType())]);
    if (line.hasDataFile == 1) AddText(root, "datafile", line.dataFile);
    if (line.hasResultFile == 1) AddText(root, "resultfile", line.resultFile);
    if (line.hasPlottingFile == 1) AddText(root, "mandrove", line.plottingFile);

    pugi::xml_node list = root.append_child("file_list");
    const int count = std::clamp(group.entryCount, 0, static_cast<int>(group.entries.size()));
    for (int i = 0; i < count; ++i) {
        FileListEntry& e = group.entries[static_cast<size_t>(i)];
        if (e.inUse != 1) {
            // Named by the pattern it was read by, and keeping the type it was read with.
            e.fileName = group.PatternFileName(i);
            e.inUse = 1;
            if (e.hasType != 1) e.fileType = group.CurrentType();
            e.hasType = 1;
        }
        pugi::xml_node file = list.append_child("file");
        WriteFileEntryXml(file, e, group.CurrentType());
    }

    if (slot.present == 1) {
        const MamGeometryValues& g = slot.values;
        pugi::xml_node geometry = root.append_child("mam_geometry");
        AddInt(geometry, "iGeometry", g.iGeometry);
        AddFloat(geometry, "ArraySize", g.ArraySize);
        AddFloat(geometry, "Angle", g.Angle);
        AddInt(geometry, "nReceiver", g.nReceiver);
        AddInt(geometry, "iStartChannel", g.startChannel);
        AddInt(geometry, "Reverse", g.reverse);
        AddFloat(geometry, "SpacingForLinearArray", g.SpacingForLinearArray);
    }

    StringWriter body;
    doc.save(body, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    // A carriage return in a text is written as a reference: written as it is, the next read
    // would make it a line feed. Only texts hold one (the names of the tree are fixed).
    std::string escaped;
    escaped.reserve(body.text.size());
    for (const char c : body.text) {
        if (c == '\r') escaped += "&#13;";
        else escaped += c;
    }
    return EncodeDocument(escaped);
}

int WriteLineXml(const SurveyLine& line, CFileGroup& group, const MamGeometrySlot& slot, const std::string& path)
{
    const std::optional<std::string> bytes = LineXmlBytes(line, group, slot);
    if (!bytes) return 0;
    return WriteFileAtomically(path, *bytes) ? 1 : 0;
}

int ReadLineXmlBytes(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, std::string_view bytes, int first,
                     UiHost* ui, int language, LineXmlError* error)
{
    LineXmlError ignored;
    LineXmlError& e = error ? *error : ignored;
    e = {};
    const int capacity = std::min(CFileGroup::kMaxFiles, static_cast<int>(group.entries.size()));
    if (first < 0 || first > capacity) {
        e.reason = ListFullText(language);
        return -1;
    }
    e.opened = true;
    const std::optional<std::string> text = DocumentAsUtf8(bytes, language, e.reason);
    if (!text) return -1;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text->data(), text->size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        e.reason = FormatC(Msg(language, "XML error at byte %lld: %s", "XML のエラー (%lld バイト目): %s").c_str(),
                           static_cast<long long>(parsed.offset), parsed.description());
        return -1;
    }
    const pugi::xml_node root = LineRoot(doc);
    if (!root) {
        e.reason = Msg(language, "it does not hold exactly one root element <line>",
                       "ルート要素 <line> がちょうど 1 つではありません");
        return -1;
    }
    if (!TreeIsValidUtf8(root)) {
        e.reason = Msg(language, "a character reference gives text that is not valid UTF-8",
                       "文字参照が UTF-8 として正しくない文字になります");
        return -1;
    }
    e.reason.clear();

    SurveyLine l = line;
    std::vector<FileListEntry> entries = group.entries;
    int32_t fileType = group.fileType;
    auto sourceFromFile = group.sourceFromFile;
    auto receiversFromFile = group.receiversFromFile;
    MamGeometrySlot s{slot.present, slot.values, {}};
    int next = first;
    bool full = false;

    const auto currentType = [&] { return fileType >= 0 && fileType < CFileGroup::kNamingSchemes ? fileType : 0; };
    for (pugi::xml_node e = root.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        if (Named(e, "line_name")) {
            l.lineName = TextOf(e);
        } else if (Named(e, "line_id")) {
            TakeInt(e, l.lineId);
        } else if (Named(e, "qkw_menu")) {
            TakeInt(e, l.qkwMenu);
        } else if (Named(e, "qkw_menu_name")) {
            // Cut first, then trimmed: a cut that ends in white space would be trimmed by the
            // next read, and the name must read back as it is kept.
            l.qkwMenuName = std::string(Trim(CutToCp932Bytes(TextOf(e), SurveyLine::kMaxMenuName)));
        } else if (Named(e, "procedure_step")) {
            TakeInt(e, l.procedureStep);
        } else if (Named(e, "file_type")) {
            const auto v = LeadingInt(e);
            if (v && *v >= 0 && *v < CFileGroup::kNamingSchemes) fileType = *v;
        } else if (Named(e, "apply_source_position")) {
            TakeInt(e, sourceFromFile[static_cast<size_t>(currentType())]);
        } else if (Named(e, "apply_receiver_position")) {
            TakeInt(e, receiversFromFile[static_cast<size_t>(currentType())]);
        } else if (Named(e, "datafile")) {
            l.dataFile = TextOf(e);
            l.hasDataFile = 1;
        } else if (Named(e, "resultfile")) {
            l.resultFile = TextOf(e);
            l.hasResultFile = 1;
        } else if (Named(e, "mandrove")) {
            l.plottingFile = TextOf(e);
            l.hasPlottingFile = 1;
        } else if (Named(e, "file_list")) {
            for (pugi::xml_node f = e.first_child(); f && !full; f = f.next_sibling()) {
                if (f.type() != pugi::node_element || !Named(f, "file")) continue;
                if (next >= capacity) {
                    full = true;
                    ListFullMessage(ui, language);
                    break;
                }
                ReadFileEntryXml(f, entries[static_cast<size_t>(next)]);
                ++next;
            }
        } else if (Named(e, "mam_geometry")) {
            if (s.present != 1) {
                if (slot.make) slot.make(s.values);
                s.present = 1;
            }
            ReadGeometry(e, s.values);
            l.hasArrayGeometry = 1;
        }
    }

    line = std::move(l);
    group.entries = std::move(entries);
    group.entryCount = next;
    group.fileType = fileType;
    group.sourceFromFile = sourceFromFile;
    group.receiversFromFile = receiversFromFile;
    slot.present = s.present;
    slot.values = s.values;
    return next;
}

int ReadLineXml(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, const std::string& path, int first,
                UiHost* ui, int language, LineXmlError* error)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        if (error) *error = {false, UnopenedFileReason(path, file.Error(), language)};
        return -1;
    }
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    return ReadLineXmlBytes(line, group, slot,
                            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), first, ui,
                            language, error);
}

int LoadLineXml(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, std::string_view path, int first,
                UiHost* ui, int language)
{
    return ReadLineXml(line, group, slot, std::string(path), first, ui, language);
}

int LoadLineXmlFile(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, const char* path, int first,
                    UiHost* ui, int language)
{
    if (!path) return -1;
    return ReadLineXml(line, group, slot, std::string(path), first, ui, language);
}

}  // namespace velk
