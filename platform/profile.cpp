#include "platform/profile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/numtext.h"
#include "platform/paths.h"

namespace velk {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A settings file is a few kilobytes; anything this large is not one.
constexpr size_t kMaxProfileBytes = size_t{64} << 20;

std::string_view Trim(std::string_view s)
{
    const size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

// Offset of the trimmed part of text[from, to).
void TrimRange(std::string_view text, size_t from, size_t to, size_t& begin, size_t& length)
{
    while (from < to && kBlanks.find(text[from]) != std::string_view::npos) ++from;
    while (to > from && kBlanks.find(text[to - 1]) != std::string_view::npos) --to;
    begin = from;
    length = to - from;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

bool Refuse(std::string* why, const char* reason)
{
    if (why) *why = reason;
    return false;
}

enum class ReadStatus { Ok, Missing, Error };

ReadStatus ReadWholeFile(const std::string& path, std::string& text, std::string& error)
{
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return ReadStatus::Missing;
        error = "cannot open " + path + ": " + std::strerror(errno);
        return ReadStatus::Error;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = path + " is not a regular file";
        ::close(fd);
        return ReadStatus::Error;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = "cannot read " + path + ": " + std::strerror(errno);
            ::close(fd);
            return ReadStatus::Error;
        }
        if (n == 0) break;
        if (text.size() + static_cast<size_t>(n) > kMaxProfileBytes) {
            error = path + " is too large for a settings file";
            ::close(fd);
            return ReadStatus::Error;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return ReadStatus::Ok;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// IniDocument

IniDocument::Line IniDocument::ClassifyLine(std::string text)
{
    Line line;
    line.text = std::move(text);
    const std::string_view t = line.text;
    const size_t first = t.find_first_not_of(kBlanks);
    if (first == std::string_view::npos || t[first] == ';') return line;
    if (t[first] == '[') {
        const size_t close = t.find(']', first + 1);
        if (close == std::string_view::npos) return line;
        line.kind = Kind::Section;
        TrimRange(t, first + 1, close, line.nameBegin, line.nameLength);
        return line;
    }
    const size_t eq = t.find('=', first);
    if (eq == std::string_view::npos) return line;
    size_t keyBegin = 0, keyLength = 0;
    TrimRange(t, first, eq, keyBegin, keyLength);
    if (keyLength == 0) return line;
    line.kind = Kind::Setting;
    line.nameBegin = keyBegin;
    line.nameLength = keyLength;
    TrimRange(t, eq + 1, t.size(), line.valueBegin, line.valueLength);
    return line;
}

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument doc;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        doc.byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        const size_t next = (end == std::string_view::npos) ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        size_t stop = end;
        while (stop > pos && text[stop - 1] == '\r') --stop;
        doc.lines_.push_back(ClassifyLine(std::string(text.substr(pos, stop - pos))));
        pos = next;
    }
    return doc;
}

std::string IniDocument::Serialize() const
{
    size_t size = byteOrderMark_ ? kByteOrderMark.size() : 0;
    for (const Line& line : lines_) size += line.text.size() + 1;
    std::string out;
    out.reserve(size);
    if (byteOrderMark_) out += kByteOrderMark;
    for (const Line& line : lines_) {
        out += line.text;
        out += '\n';
    }
    return out;
}

std::optional<std::string_view> IniDocument::Find(std::string_view section, std::string_view key) const
{
    section = Trim(section);
    key = Trim(key);
    bool inSection = section.empty();
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section) {
            inSection = EqualNoCase(line.Name(), section);
        } else if (inSection && line.kind == Kind::Setting && EqualNoCase(line.Name(), key)) {
            return line.Value();
        }
    }
    return std::nullopt;
}

bool IniDocument::CanStore(std::string_view section, std::string_view key, std::string_view value,
                           std::string* why)
{
    section = Trim(section);
    key = Trim(key);
    value = Trim(value);
    if (section.empty()) return Refuse(why, "the section name is empty");
    if (key.empty()) return Refuse(why, "the key is empty");
    if (section.find_first_of("\r\n]") != std::string_view::npos)
        return Refuse(why, "the section name holds a line break or ']'");
    if (key.find_first_of("\r\n=") != std::string_view::npos)
        return Refuse(why, "the key holds a line break or '='");
    if (key.front() == ';' || key.front() == '[')
        return Refuse(why, "the key starts with ';' or '['");
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return Refuse(why, "the value holds a line break");
    return true;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value,
                      std::string* why)
{
    if (!CanStore(section, key, value, why)) return false;
    section = Trim(section);
    key = Trim(key);
    value = Trim(value);

    bool inSection = false;
    bool inFirstBlock = false;
    bool sectionSeen = false;
    size_t insertAfter = 0;  // last setting (or the header) of the section's first block
    for (size_t i = 0; i < lines_.size(); ++i) {
        Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            inSection = EqualNoCase(line.Name(), section);
            inFirstBlock = inSection && !sectionSeen;
            if (inFirstBlock) {
                sectionSeen = true;
                insertAfter = i;
            }
        } else if (inSection && line.kind == Kind::Setting) {
            if (EqualNoCase(line.Name(), key)) {
                // Keep the key's spelling, indentation and the blanks before the value.
                std::string text = line.text.substr(0, line.valueBegin);
                text += value;
                line = ClassifyLine(std::move(text));
                return true;
            }
            if (inFirstBlock) insertAfter = i;
        }
    }

    std::string text;
    text.reserve(key.size() + 1 + value.size());
    text.append(key).append("=").append(value);
    if (!sectionSeen) {
        lines_.push_back(ClassifyLine("[" + std::string(section) + "]"));
        lines_.push_back(ClassifyLine(std::move(text)));
    } else {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAfter + 1),
                      ClassifyLine(std::move(text)));
    }
    return true;
}

std::vector<IniDocument::Entry> IniDocument::Entries() const
{
    std::vector<Entry> entries;
    std::string_view section;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section) {
            section = line.Name();
        } else if (line.kind == Kind::Setting) {
            entries.push_back({std::string(section), std::string(line.Name()), std::string(line.Value())});
        }
    }
    return entries;
}

// ---------------------------------------------------------------------------------------------
// Profile

std::string Profile::ConfigFolder()
{
    std::string config;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && x[0] == '/') {
        config = x;
    } else {
        config = HomeDir() + "/.config";
    }
    while (config.size() > 1 && config.back() == '/') config.pop_back();
    return config + "/velkarine";
}

std::string Profile::DefaultPath(const char* variable, const char* fileName)
{
    if (const char* p = std::getenv(variable); p && *p) return p;
    return ConfigFolder() + "/" + fileName;
}

Profile::Profile(std::string path) : path_(std::move(path)) { Load(); }

Profile Profile::FromText(std::string_view text)
{
    Profile profile;
    profile.doc_ = IniDocument::Parse(text);
    return profile;
}

bool Profile::Load()
{
    loadError_.clear();
    pending_.clear();
    if (InMemory()) return true;
    std::string text;
    switch (ReadWholeFile(path_, text, loadError_)) {
    case ReadStatus::Ok:
        doc_ = IniDocument::Parse(text);
        return true;
    case ReadStatus::Missing:
        doc_ = IniDocument();
        return true;
    case ReadStatus::Error:
        break;
    }
    doc_ = IniDocument();
    return false;
}

bool Profile::Reload() { return Load(); }

std::optional<std::string> Profile::GetString(std::string_view section, std::string_view key) const
{
    const auto v = doc_.Find(section, key);
    if (!v) return std::nullopt;
    return std::string(*v);
}

std::optional<int32_t> Profile::GetInt(std::string_view section, std::string_view key) const
{
    const auto v = doc_.Find(section, key);
    if (!v) return std::nullopt;
    return ParseInt(*v);
}

std::optional<float> Profile::GetFloat(std::string_view section, std::string_view key) const
{
    const auto v = doc_.Find(section, key);
    if (!v) return std::nullopt;
    return ParseFloat(*v);
}

std::optional<bool> Profile::GetBool(std::string_view section, std::string_view key) const
{
    const auto v = doc_.Find(section, key);
    if (!v) return std::nullopt;
    const auto n = ParseInt64(*v);
    if (!n) return std::nullopt;
    return *n != 0;
}

bool Profile::ReadString(std::string_view section, std::string_view key, std::string& var) const
{
    auto v = GetString(section, key);
    if (!v) return false;
    var = std::move(*v);
    return true;
}

bool Profile::ReadInt(std::string_view section, std::string_view key, int32_t& var) const
{
    const auto v = GetInt(section, key);
    if (!v) return false;
    var = *v;
    return true;
}

bool Profile::ReadFloat(std::string_view section, std::string_view key, float& var) const
{
    const auto v = GetFloat(section, key);
    if (!v) return false;
    var = *v;
    return true;
}

bool Profile::ReadBool(std::string_view section, std::string_view key, bool& var) const
{
    const auto v = GetBool(section, key);
    if (!v) return false;
    var = *v;
    return true;
}

bool Profile::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    return Store(section, key, value);
}

bool Profile::SetInt(std::string_view section, std::string_view key, int32_t value)
{
    return Store(section, key, FormatC("%d", static_cast<int>(value)));
}

bool Profile::SetFloat(std::string_view section, std::string_view key, float value)
{
    if (!std::isfinite(value)) {
        lastError_ = "cannot store " + std::string(key) + ": the value is not a finite number";
        return false;
    }
    return Store(section, key, FormatC("%f", static_cast<double>(value)));
}

bool Profile::SetBool(std::string_view section, std::string_view key, bool value)
{
    return Store(section, key, value ? "1" : "0");
}

bool Profile::Store(std::string_view section, std::string_view key, std::string_view value)
{
    std::string why;
    if (!IniDocument::CanStore(section, key, value, &why)) {
        lastError_ = "cannot store " + std::string(key) + ": " + why;
        return false;
    }
    const auto old = doc_.Find(section, key);
    if (old && *old == Trim(value) && pending_.empty()) {
        lastError_.clear();
        return true;  // the file already says so
    }
    doc_.Set(section, key, value);
    pending_.push_back({std::string(section), std::string(key), std::string(value)});
    if (batchDepth_ > 0) return true;
    return Persist();
}

bool Profile::Flush()
{
    if (pending_.empty()) {
        lastError_.clear();
        return true;
    }
    return Persist();
}

bool Profile::Persist()
{
    lastError_.clear();
    if (InMemory()) {
        pending_.clear();
        return true;
    }
    // Start again from the file as it is now, so that keys another instance of the program
    // wrote since we read it survive; then apply our changes in order.
    std::string text;
    std::string error;
    IniDocument fresh;
    switch (ReadWholeFile(path_, text, error)) {
    case ReadStatus::Ok:
        fresh = IniDocument::Parse(text);
        break;
    case ReadStatus::Missing:
        fresh = doc_;  // (re)create it with everything we hold
        break;
    case ReadStatus::Error:
        lastError_ = "the settings file was not written: " + error;
        return false;
    }
    for (const Change& c : pending_) fresh.Set(c.section, c.key, c.value);

    // (A symbolic link is followed by the writer; its folder exists already.)
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            lastError_ = "cannot create the folder " + folder.string() + ": " + ec.message();
            return false;
        }
    }
    error.clear();
    if (!WriteFileAtomically(path_, fresh.Serialize(), &error)) {
        lastError_ = error.empty() ? "cannot write " + path_ : error;
        return false;
    }
    doc_ = std::move(fresh);
    pending_.clear();
    loadError_.clear();
    return true;
}

Profile::Batch::Batch(Profile& profile) : profile_(&profile) { ++profile_->batchDepth_; }

Profile::Batch::~Batch()
{
    if (open_) Commit();
}

bool Profile::Batch::Commit()
{
    if (!open_) return true;
    open_ = false;
    if (--profile_->batchDepth_ > 0) return true;
    return profile_->Flush();
}

}  // namespace velk
