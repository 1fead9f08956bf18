#pragma once
// Custom task-template files (".zvt"): an INI-style file whose section "ZVK" names one
// folder and the filters of a task; the task is named after the file.
//
//   [ZVK]
//   INPUT NUMBER=1              number of INPUT<n> keys (0 or missing: no template)
//   INPUT0=<DOCUMENTS>\Letters  the last non-empty one is the task's Left folder
//   INCLUDE NUMBER=1
//   INCLUDE0=*.doc              include patterns; folder tokens such as <MyDocuments>
//   EXCLUDE FOLDER NUMBER=1     are expanded
//   EXCLUDE FOLDER0=<MyDocuments>\Temp   a folder without a wildcard gets "/*.*"
//
// The files were written with '\' separators; every path read from one gets '/'.
// "SUB FOLDER" may be present and means nothing.

#include <cstddef>
#include <optional>
#include <string>

// Counts above this are read as this many keys.
inline constexpr int kMaxTemplateKeys = 1000;
// The longest value a key may hold, in characters.
inline constexpr std::size_t kMaxTemplateValueLength = 499;
// A template file is a few lines; a larger file is not one.
inline constexpr std::size_t kMaxTemplateFileBytes = 1u << 20;

inline constexpr char kInvalidTemplateFileText[] = "Invalid Template File!";

// The file dialog that picks a template: its filter (IDS_TEMPLATE_FILE_FILTER) and title.
inline constexpr char kTemplateFileDialogTitle[] = "Open File";
// Where that dialog starts: "Templates" in the program's folder.
std::string GetTemplatesFolder();

// What a template file asks for.
struct TemplateFile {
    std::string taskName;      // the file's name without folder and extension
    std::wstring folder;       // the Left folder as entered, placeholders kept
    std::wstring includeText;  // quoted list, each entry "\"%s\" ", trimmed
    std::wstring excludeText;
};

struct TemplateFileRead {
    std::optional<TemplateFile> file;
    // When there is no file: the text to tell, "Invalid Template File!" with the reason
    // on the lines after it where there is more to say.
    std::string fault;
};

// Reads and checks the template file at `path`. A file is refused when it cannot be read
// or is too large, when its name is empty or breaks the task-name rule, when
// "INPUT NUMBER" is missing or 0 or no folder results, when a value is longer than
// kMaxTemplateValueLength or holds a double quote other than around the whole value, and
// when a filter list would not fit a stored task.
TemplateFileRead ReadTemplateFile(const std::string& path);
