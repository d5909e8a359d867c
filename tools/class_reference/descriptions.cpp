#include "tools/class_reference/descriptions.h"

#include <fstream>
#include <sstream>

#include "core/objects/class_info.h"

namespace {
std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "a, b" -> {"a", "b"}; "" -> {}.
std::vector<std::string> ParameterNames(const std::string& list) {
  std::vector<std::string> names;
  std::istringstream in(list);
  std::string name;
  while (std::getline(in, name, ',')) {
    if (!Trimmed(name).empty()) names.push_back(Trimmed(name));
  }
  return names;
}
}  // namespace

Descriptions Descriptions::Parse(const std::string& text, std::vector<std::string>* problems) {
  Descriptions result;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    line = Trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t equals = line.find(" = ");
    if (equals == std::string::npos) {
      if (problems) problems->push_back("line " + std::to_string(number) + ": no \" = \"");
      continue;
    }
    std::string key = Trimmed(line.substr(0, equals));
    Description description{Trimmed(line.substr(equals + 3)), {}};
    const size_t open = key.find('(');
    if (open != std::string::npos) {
      const size_t close = key.find(')', open);
      description.parameters = ParameterNames(key.substr(open + 1, close - open - 1));
      key.erase(open);
    }
    result.entries_[key] = std::move(description);
  }
  return result;
}

const Description* Descriptions::find(const std::string& key) const {
  const auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : &it->second;
}

std::vector<std::string> Descriptions::missing(const std::vector<const ClassInfo*>& classes) const {
  std::vector<std::string> lines;
  for (const ClassInfo* cls : classes) {
    if (!find(cls->name())) lines.push_back(cls->name());
    for (const PropInfo& p : cls->ownProperties()) {
      if (!find(cls->name() + "." + p.name)) lines.push_back(cls->name() + "." + p.name);
    }
    for (const MethodInfo& m : cls->ownMethods()) {
      const Description* d = find(cls->name() + "." + m.name);
      if (!d) {
        lines.push_back(cls->name() + "." + m.name + "(" + std::to_string(m.params.size()) + " parameters)");
      } else if (d->parameters.size() != m.params.size()) {
        lines.push_back(cls->name() + "." + m.name + " names " + std::to_string(d->parameters.size()) +
                        " parameters but takes " + std::to_string(m.params.size()));
      }
    }
  }
  return lines;
}

std::string DescriptionsFileText() {
  std::ifstream in(Q_CLASS_DESCRIPTIONS, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
