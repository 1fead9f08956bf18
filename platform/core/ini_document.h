#pragma once
// An INI file in memory, kept as its lines so that an edit changes only the lines it
// must: comments, unknown lines, blank lines and the order of everything stay as they were.
//
// Reading rules: a line whose first non-blank character is '[' starts a section (its name
// runs to the next ']'); ';' starts a comment; "key=value" is an entry, blanks trimmed
// around the key and the value, the value otherwise verbatim (quotes included). Section
// and key names compare without regard to ASCII case; the first match wins. Lines end
// in LF or CR LF; Serialize ends every line with CR LF.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

class IniDocument {
public:
    IniDocument() = default;
    static IniDocument Parse(std::string_view bytes);
    std::string Serialize() const;

    // The value of the first entry `key` in a section `section`; nullopt when none.
    // A value holding a NUL byte ends there.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Sets the first matching entry, keeping the spelling of its key. A new key goes after
    // the last line of its section that is not blank; a new section goes at the end.
    // Returns false when nothing changed (the value was already that).
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes every entry `key` of every section `section`. Returns false when none was there.
    bool RemoveKey(std::string_view section, std::string_view key);
    // Removes every section `section` with all its lines. Returns false when none was there.
    bool RemoveSection(std::string_view section);

    // Names as spelled at their first occurrence, each once, in file order.
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // Whether a name or value can be written without changing the file's structure:
    // no line breaks or NULs; a section name without ']'; a key without '=' that does not
    // begin with '[' or ';'; names not blank.
    static bool IsWritableSection(std::string_view section);
    static bool IsWritableKey(std::string_view key);
    static bool IsWritableValue(std::string_view value);

private:
    bool hasByteOrderMark_ = false;
    std::vector<std::string> lines_;  // without line ends
};

}  // namespace plat
