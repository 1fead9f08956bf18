#include "platform/core/ini_document.h"

#include "platform/core/text.h"

namespace plat {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct LineView {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section name or key
    std::string_view value;  // entries only
};

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

LineView Classify(std::string_view line) {
    const std::string_view t = TrimView(line);
    if (t.empty()) return {LineKind::Blank, {}, {}};
    if (t.front() == ';') return {LineKind::Comment, {}, {}};
    if (t.front() == '[') {
        const std::size_t close = t.find(']', 1);
        return {LineKind::Section, TrimView(t.substr(1, close == std::string_view::npos ? close : close - 1)), {}};
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {LineKind::Other, {}, {}};
    return {LineKind::Entry, TrimView(t.substr(0, eq)), TrimView(t.substr(eq + 1))};
}

bool IsSectionNamed(const LineView& view, std::string_view section) {
    return view.kind == LineKind::Section && EqualsNoCaseAscii(view.name, section);
}

bool IsEntryNamed(const LineView& view, std::string_view key) {
    return view.kind == LineKind::Entry && !view.name.empty() && EqualsNoCaseAscii(view.name, key);
}

std::string Concat(std::string_view a, std::string_view b, std::string_view c) {
    std::string s;
    s.reserve(a.size() + b.size() + c.size());
    s.append(a).append(b).append(c);
    return s;
}

bool HasAny(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != std::string_view::npos; }

constexpr std::string_view kLineBreaksAndNul("\r\n\0", 3);

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument doc;
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        doc.hasByteOrderMark_ = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        doc.lines_.emplace_back(line);
        if (lf == std::string_view::npos) break;
        bytes.remove_prefix(lf + 1);
    }
    return doc;
}

std::string IniDocument::Serialize() const {
    std::size_t size = hasByteOrderMark_ ? kByteOrderMark.size() : 0;
    for (const std::string& line : lines_) size += line.size() + 2;
    std::string out;
    out.reserve(size);
    if (hasByteOrderMark_) out += kByteOrderMark;
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    section = TrimView(section);
    key = TrimView(key);
    bool inSection = false;
    for (const std::string& line : lines_) {
        const LineView view = Classify(line);
        if (view.kind == LineKind::Section) {
            inSection = EqualsNoCaseAscii(view.name, section);
        } else if (inSection && IsEntryNamed(view, key)) {
            return std::string(view.value.substr(0, view.value.find('\0')));
        }
    }
    return std::nullopt;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimView(section);
    key = TrimView(key);
    bool found = false;        // a section of that name exists
    bool inFirst = false;      // inside the first one
    bool inSection = false;    // inside any of them
    std::size_t insertAt = 0;  // after the first one's last line that is not blank
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineView view = Classify(lines_[i]);
        if (view.kind == LineKind::Section) {
            inSection = EqualsNoCaseAscii(view.name, section);
            inFirst = inSection && !found;
            if (inFirst) {
                found = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (inSection && IsEntryNamed(view, key)) {
            if (view.value == value) return false;
            lines_[i] = Concat(view.name, "=", value);
            return true;
        }
        if (inFirst && view.kind != LineKind::Blank) insertAt = i + 1;
    }
    std::string entry = Concat(key, "=", value);
    if (found) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
        return true;
    }
    if (!lines_.empty() && Classify(lines_.back()).kind != LineKind::Blank) lines_.emplace_back();
    lines_.push_back(Concat("[", section, "]"));
    lines_.push_back(std::move(entry));
    return true;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
    section = TrimView(section);
    key = TrimView(key);
    std::vector<std::string> kept;
    kept.reserve(lines_.size());
    bool inSection = false;
    bool removed = false;
    for (std::string& line : lines_) {
        const LineView view = Classify(line);
        if (view.kind == LineKind::Section) inSection = EqualsNoCaseAscii(view.name, section);
        if (inSection && IsEntryNamed(view, key)) {
            removed = true;
            continue;
        }
        kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
    return removed;
}

bool IniDocument::RemoveSection(std::string_view section) {
    section = TrimView(section);
    std::vector<std::string> kept;
    kept.reserve(lines_.size());
    bool inSection = false;
    bool removed = false;
    for (std::string& line : lines_) {
        const LineView view = Classify(line);
        if (view.kind == LineKind::Section) inSection = IsSectionNamed(view, section);
        if (inSection) {
            removed = true;
            continue;
        }
        kept.push_back(std::move(line));
    }
    if (inSection) {
        // The file ended inside a removed section: drop the blank lines that separated it.
        while (!kept.empty() && Classify(kept.back()).kind == LineKind::Blank) kept.pop_back();
    }
    lines_ = std::move(kept);
    return removed;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const std::string& line : lines_) {
        const LineView view = Classify(line);
        if (view.kind != LineKind::Section) continue;
        bool seen = false;
        for (const std::string& name : names) seen = seen || EqualsNoCaseAscii(name, view.name);
        if (!seen) names.emplace_back(view.name);
    }
    return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
    section = TrimView(section);
    std::vector<std::string> names;
    bool inSection = false;
    for (const std::string& line : lines_) {
        const LineView view = Classify(line);
        if (view.kind == LineKind::Section) {
            inSection = EqualsNoCaseAscii(view.name, section);
            continue;
        }
        if (!inSection || view.kind != LineKind::Entry || view.name.empty()) continue;
        bool seen = false;
        for (const std::string& name : names) seen = seen || EqualsNoCaseAscii(name, view.name);
        if (!seen) names.emplace_back(view.name);
    }
    return names;
}

bool IniDocument::IsWritableSection(std::string_view section) {
    return !TrimView(section).empty() && !HasAny(section, kLineBreaksAndNul) && !HasAny(section, "]");
}

bool IniDocument::IsWritableKey(std::string_view key) {
    const std::string_view t = TrimView(key);
    return !t.empty() && t.front() != '[' && t.front() != ';' && !HasAny(key, kLineBreaksAndNul) && !HasAny(key, "=");
}

bool IniDocument::IsWritableValue(std::string_view value) { return !HasAny(value, kLineBreaksAndNul); }

}  // namespace plat
