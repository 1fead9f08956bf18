#include "foundation/template_file.h"

#include <algorithm>
#include <string_view>

#include "foundation/folder_tokens.h"
#include "foundation/options/filter_text_fit.h"
#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "foundation/split_path.h"
#include "foundation/task_name_rule.h"
#include "platform/core/ini_document.h"
#include "platform/core/ini_file.h"
#include "platform/core/text.h"
#include "platform/core/whole_file.h"

namespace {

constexpr std::string_view kSection = "ZVK";
constexpr std::size_t kFilterFieldBytes = 2048;  // a filter text's field in the task record

// A template value that could not be taken; the reason is told after the heading.
struct ValueFault {
    std::string reason;
};

std::string Refusal(std::string_view reason = {}) {
    std::string text = kInvalidTemplateFileText;
    if (!reason.empty()) {
        text += "\n\n";
        text += reason;
    }
    return text;
}

std::string WithForwardSeparators(std::string text) {
    std::replace(text.begin(), text.end(), '\\', kPathSeparator);
    return text;
}

class TemplateReader {
public:
    explicit TemplateReader(plat::IniDocument document) : document_(std::move(document)) {}

    // The key's count, 0 when missing or not positive, at most kMaxTemplateKeys.
    int Count(std::string_view key) const {
        const std::optional<std::string> value = document_.Get(kSection, key);
        if (!value) return 0;
        return std::clamp(plat::ParseProfileInt(*value), 0, kMaxTemplateKeys);
    }

    // The trimmed value of "<prefix><index>", or "" when it is missing. A value that is
    // too long or holds a stray quote sets `fault` and gives "".
    std::string Value(std::string_view prefix, int index) {
        const std::string key = plat::Format("%.*s%d", static_cast<int>(prefix.size()), prefix.data(), index);
        std::string value = plat::TrimBlanks(document_.Get(kSection, key).value_or(std::string()));
        if (plat::Utf8ToWide(value).size() > kMaxTemplateValueLength) {
            Fail(plat::Format("%s is longer than %zu characters.", key.c_str(), kMaxTemplateValueLength));
            return {};
        }
        // A quote may only enclose the whole value: a stray one would run into the
        // entries after it once the value is one entry of a list.
        const std::size_t quotes = static_cast<std::size_t>(std::count(value.begin(), value.end(), '"'));
        if (quotes == 2 && value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        } else if (quotes != 0) {
            Fail(plat::Format("%s holds a double quote inside its entry.", key.c_str()));
            return {};
        }
        return value;
    }

    bool Failed() const { return !fault_.empty(); }
    const std::string& fault() const { return fault_; }

private:
    void Fail(std::string reason) {
        if (fault_.empty()) fault_ = std::move(reason);
    }

    plat::IniDocument document_;
    std::string fault_;
};

// One entry of a quoted list as the template's lists write it.
std::wstring ListEntry(const std::string& value) { return L"\"" + plat::Utf8ToWide(value) + L"\" "; }

std::wstring IncludeText(TemplateReader& reader) {
    std::wstring text;
    const int count = reader.Count("INCLUDE NUMBER");
    for (int i = 0; i < count && !reader.Failed(); ++i) {
        const std::string value = reader.Value("INCLUDE", i);
        if (value.empty()) continue;
        text += ListEntry(ExpandFolderTokens(WithForwardSeparators(value)));
    }
    return plat::TrimBlanksW(text);
}

std::wstring ExcludeText(TemplateReader& reader) {
    std::wstring text;
    const int count = reader.Count("EXCLUDE FOLDER NUMBER");
    for (int i = 0; i < count && !reader.Failed(); ++i) {
        const std::string value = reader.Value("EXCLUDE FOLDER", i);
        if (value.empty()) continue;
        std::string pattern = ExpandFolderTokens(WithForwardSeparators(value));
        // A plain folder stands for everything in it.
        if (pattern.find_first_of("*?") == std::string::npos) pattern = AppendPathPart(pattern, "*.*");
        const std::wstring entry = ListEntry(pattern);
        if (text.find(entry) == std::wstring::npos) text += entry;
    }
    return plat::TrimBlanksW(text);
}

bool FitsTaskRecord(const std::wstring& filterText) {
    return !FitFilterText(filterText, kFilterFieldBytes, FieldEncoding::Utf16).WasCut();
}

}  // namespace

std::string GetTemplatesFolder() { return PathJoin(ProgramState().programFolder, "Templates"); }

TemplateFileRead ReadTemplateFile(const std::string& path) {
    TemplateFileRead result;
    TemplateFile file;
    file.taskName = plat::WideToUtf8(SplitPath(plat::Utf8ToWide(path), false).name);
    if (file.taskName.empty()) {
        result.fault = Refusal();
        return result;
    }
    const TaskNameFault nameFault = CheckTaskName(file.taskName);
    if (nameFault != TaskNameFault::None) {
        result.fault = Refusal(TaskNameFaultText(nameFault));
        return result;
    }

    std::string bytes;
    if (!plat::ReadWholeFile(path, &bytes, kMaxTemplateFileBytes)) {
        result.fault =
            Refusal(plat::Format("The file cannot be read, or is larger than %zu KB.", kMaxTemplateFileBytes / 1024));
        return result;
    }
    TemplateReader reader(plat::IniDocument::Parse(bytes));

    const int inputs = reader.Count("INPUT NUMBER");
    if (inputs == 0) {
        result.fault = Refusal();
        return result;
    }
    std::string folder;
    for (int i = 0; i < inputs && !reader.Failed(); ++i) {
        std::string value = reader.Value("INPUT", i);
        if (!value.empty()) folder = std::move(value);
    }
    if (!reader.Failed() && folder.empty()) {
        result.fault = Refusal();
        return result;
    }
    file.folder = plat::Utf8ToWide(WithForwardSeparators(folder));
    file.includeText = IncludeText(reader);
    file.excludeText = ExcludeText(reader);
    if (reader.Failed()) {
        result.fault = Refusal(reader.fault());
        return result;
    }
    if (!FitsTaskRecord(file.includeText) || !FitsTaskRecord(file.excludeText)) {
        result.fault = Refusal("Its filter list is too long to be stored with a task.");
        return result;
    }
    result.file = std::move(file);
    return result;
}
