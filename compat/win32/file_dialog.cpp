#include "compat/win32/file_dialog.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "compat/win32/internal/child_process.h"
#include "core/text/text.h"

namespace {
using Filter = std::pair<std::string, std::string>;  // description, patterns split by ';'

std::vector<Filter> ReadFilters(const char16_t* filter) {
  std::vector<std::string> parts;
  for (const char16_t* p = filter; p && *p; p += std::char_traits<char16_t>::length(p) + 1) {
    parts.push_back(WideToUtf8(p));
  }
  std::vector<Filter> filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) filters.emplace_back(parts[i], parts[i + 1]);
  return filters;
}

std::string Patterns(const std::string& list, char separator) {
  std::string out = list;
  std::replace(out.begin(), out.end(), ';', separator);
  return out;
}

std::vector<std::string> ZenityArguments(const std::vector<Filter>& filters, const std::string& title) {
  std::vector<std::string> arguments = {"--file-selection"};
  if (!title.empty()) arguments.push_back("--title=" + title);
  for (const Filter& f : filters) {
    std::string argument = "--file-filter=";
    argument += f.first;
    argument += " | ";
    argument += Patterns(f.second, ' ');
    arguments.push_back(argument);
  }
  return arguments;
}

std::vector<std::string> KdialogArguments(const std::vector<Filter>& filters, const std::string& title) {
  std::string list;
  for (const Filter& f : filters) {
    if (!list.empty()) list += '\n';
    list += Patterns(f.second, ' ');
    list += '|';
    list += f.first;
  }
  std::vector<std::string> arguments = {"--getopenfilename", ".", list};
  if (!title.empty()) arguments.insert(arguments.end(), {"--title", title});
  return arguments;
}

std::optional<std::string> AskDesktop(const OPENFILENAMEW& dialog) {
  std::vector<Filter> filters = ReadFilters(dialog.lpstrFilter);
  std::string title = dialog.lpstrTitle ? WideToUtf8(dialog.lpstrTitle) : std::string();
  if (std::string zenity = FindOnPath("zenity"); !zenity.empty()) {
    return RunAndRead(zenity, ZenityArguments(filters, title));
  }
  if (std::string kdialog = FindOnPath("kdialog"); !kdialog.empty()) {
    return RunAndRead(kdialog, KdialogArguments(filters, title));
  }
  return std::nullopt;
}
}  // namespace

BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) {
  if (!dialog || !dialog->lpstrFile || dialog->nMaxFile == 0) return FALSE;
  std::optional<std::string> answer = AskDesktop(*dialog);
  if (!answer) return FALSE;
  while (!answer->empty() && (answer->back() == '\n' || answer->back() == '\r')) answer->pop_back();
  if (answer->empty()) return FALSE;
  std::u16string path = Utf8ToWide(*answer);
  if (path.size() + 1 > dialog->nMaxFile) return FALSE;
  std::copy(path.begin(), path.end(), dialog->lpstrFile);
  dialog->lpstrFile[path.size()] = 0;
  return TRUE;
}
