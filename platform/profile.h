#pragma once
// The program's settings file: an INI text ("Velkarine.ini") read once, kept in memory, and
// rewritten atomically on every change.
//
// Format, as read:
//   - lines end in LF; any CRs before the LF are dropped (CRLF files read fine); a UTF-8 byte
//     order mark at the start is kept and written back;
//   - "[name]" opens a section (text after the ']' is ignored); ';' as the first non-blank
//     character makes a comment line; "key=value" is a setting, split at the first '=';
//   - blanks (space, tab, CR, VT, FF) around section names, keys and values are trimmed;
//   - section and key names compare without regard to ASCII case ("General" = "general");
//     other bytes (UTF-8 text) compare exactly;
//   - the first occurrence of a key wins, also across repeated sections of the same name;
//   - any other line (and any byte sequence at all) is kept as it is and written back.
// There are no '#' comments and no quoted values: the files this profile replaces had
// neither, so a '#' line is an ordinary line and quotes are part of the value.
//
// Writing changes only the line of the key (its spelling, indentation and the blanks before
// the value stay) or adds "key=value" after the last setting of the section, or a new section
// at the end. Lines are written with LF.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

class IniDocument {
public:
    struct Entry {
        std::string section;  // trimmed, as spelled in the file
        std::string key;      // trimmed, as spelled in the file
        std::string value;    // trimmed
    };

    // Never fails: any bytes give a document, whose Serialize() keeps every line.
    static IniDocument Parse(std::string_view text);
    std::string Serialize() const;

    // The value of the first matching key, trimmed. Section "" names the keys above the first
    // section header.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // Sets the first matching key, or adds it. Section, key and value are trimmed first.
    // Refuses (false, document unchanged, reason in *why) what cannot be stored as one INI
    // line: an empty section or key, a CR or LF anywhere, ']' in the section, '=' in the key,
    // a key starting with ';' or '['.
    bool Set(std::string_view section, std::string_view key, std::string_view value,
             std::string* why = nullptr);
    static bool CanStore(std::string_view section, std::string_view key, std::string_view value,
                         std::string* why = nullptr);

    // Every setting in file order, duplicates included (only the first of them is in effect).
    std::vector<Entry> Entries() const;
    size_t LineCount() const { return lines_.size(); }

private:
    enum class Kind : uint8_t { Other, Section, Setting };
    struct Line {
        std::string text;  // without the line end
        Kind kind = Kind::Other;
        // Section: the name; Setting: the key. Offsets into text.
        size_t nameBegin = 0, nameLength = 0;
        // Setting: the value (trimmed), and where the value part starts after '=' and blanks.
        size_t valueBegin = 0, valueLength = 0;
        std::string_view Name() const { return std::string_view(text).substr(nameBegin, nameLength); }
        std::string_view Value() const { return std::string_view(text).substr(valueBegin, valueLength); }
    };
    static Line ClassifyLine(std::string text);

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
};

class Profile {
public:
    static constexpr std::string_view kGeneral = "General";

    // ${XDG_CONFIG_HOME:-~/.config}/velkarine (a relative XDG_CONFIG_HOME is ignored, as the
    // XDG rules say): where both programs keep their INI files.
    static std::string ConfigFolder();
    // $<variable> when set and not empty, else <ConfigFolder()>/<fileName>: by default
    // $VELKARINE_PROFILE or .../velkarine/Velkarine.ini.
    static std::string DefaultPath(const char* variable = "VELKARINE_PROFILE", const char* fileName = "Velkarine.ini");
    static Profile OpenDefault() { return Profile(DefaultPath()); }

    // Reads the file. A missing file is an empty profile (no error). A file that exists but
    // cannot be read sets LoadError(); the profile is then empty and every write fails, so the
    // unreadable file is never replaced by a profile that lost its settings.
    explicit Profile(std::string path);
    // A profile in memory only: writes change the text and always succeed. For tests and fuzzing.
    static Profile FromText(std::string_view text);

    const std::string& Path() const { return path_; }
    bool InMemory() const { return path_.empty(); }
    const std::string& LoadError() const { return loadError_; }
    // The reason of the last failed write; empty after a successful one.
    const std::string& LastError() const { return lastError_; }
    // Reads the file again, dropping changes not yet written. False on a read error.
    bool Reload();

    // Typed reads: absent when the key is missing or its text does not parse (C locale,
    // strict: the whole trimmed text must be one finite, in-range number).
    std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
    std::optional<int32_t> GetInt(std::string_view section, std::string_view key) const;
    std::optional<float> GetFloat(std::string_view section, std::string_view key) const;
    // Any integer other than 0 is true ("256" too); text that is not an integer is absent.
    std::optional<bool> GetBool(std::string_view section, std::string_view key) const;

    // The same, into a variable that keeps its value when the key is absent. True when read.
    bool ReadString(std::string_view section, std::string_view key, std::string& var) const;
    bool ReadInt(std::string_view section, std::string_view key, int32_t& var) const;
    bool ReadFloat(std::string_view section, std::string_view key, float& var) const;
    bool ReadBool(std::string_view section, std::string_view key, bool& var) const;

    // Typed writes. Each one is on disk when it returns (outside a Batch). False, with
    // LastError(), when the value cannot be stored (see IniDocument::CanStore; a float that is
    // not finite) or the file cannot be written; the old file then stays as it was. A value
    // refused as unstorable changes nothing; a value that failed to reach the disk stays in
    // memory and is written with the next successful write.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);
    bool SetInt(std::string_view section, std::string_view key, int32_t value);
    bool SetFloat(std::string_view section, std::string_view key, float value);  // "%f"
    bool SetBool(std::string_view section, std::string_view key, bool value);    // "1" / "0"

    // Writes the changes not yet on disk. True when there are none.
    bool Flush();
    bool HasUnsavedChanges() const { return !pending_.empty(); }

    std::string Text() const { return doc_.Serialize(); }
    const IniDocument& Document() const { return doc_; }

    // Groups writes: inside the scope each Set changes memory only; the outermost scope's end
    // (or its Commit()) writes the file once. Scopes nest.
    class Batch {
    public:
        explicit Batch(Profile& profile);
        ~Batch();  // commits if Commit() was not called; the result is in LastError()
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Ends the scope now. The outermost scope writes and returns the result; an inner one
        // returns true (its changes are written by the outermost).
        bool Commit();

    private:
        Profile* profile_;
        bool open_ = true;
    };

private:
    Profile() = default;
    struct Change {
        std::string section, key, value;
    };
    bool Load();
    bool Store(std::string_view section, std::string_view key, std::string_view value);
    bool Persist();

    std::string path_;
    IniDocument doc_;
    std::vector<Change> pending_;  // changes since the file was last written or read
    int batchDepth_ = 0;
    std::string loadError_;
    std::string lastError_;
};

}  // namespace velk
