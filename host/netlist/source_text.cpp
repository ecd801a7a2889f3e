#include "host/netlist/source_text.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace host::netlist {

namespace {

bool is_separator(char c) {
  return c == '(' || c == ')' || c == '[' || c == ']' || c == '=' || c == ',';
}

bool is_space(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The first non-blank character of a line, or '\0'.
char first_character(const std::string& line) {
  for (char c : line) {
    if (!is_space(c)) return c;
  }
  return '\0';
}

class Reader {
 public:
  std::vector<Statement> statements;

  void read(const std::filesystem::path& path, const std::string& shown, const Location* from) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    if (std::find(open_.begin(), open_.end(), canonical) != open_.end()) {
      throw NetlistError(*from, "'" + shown + "' includes itself");
    }
    std::ifstream in(path);
    if (!in || std::filesystem::is_directory(path, error)) {
      if (from != nullptr) throw NetlistError(*from, "cannot read included file '" + shown + "'");
      throw NetlistError(shown + ": cannot read the netlist");
    }
    open_.push_back(canonical);
    // The statement a '+' line continues, by index; none at the start of a file.
    std::ptrdiff_t open_statement = -1;
    std::string line;
    Location where{shown, 0};
    while (std::getline(in, line)) {
      ++where.line;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const char first = first_character(line);
      if (first == '\0' || first == '*' || first == ';') continue;
      if (first == '+') {
        if (open_statement < 0) {
          throw NetlistError(where, "continuation line '+' with no line before it to continue");
        }
        const std::size_t plus = line.find('+');
        tokenize(line.substr(plus + 1), where,
                 statements[static_cast<std::size_t>(open_statement)].tokens);
        continue;
      }
      Statement statement;
      tokenize(line, where, statement.tokens);
      if (statement.tokens.empty()) continue;
      const std::string keyword = lower(statement.tokens.front().text);
      if (keyword == ".end") break;
      if (keyword == ".include" || keyword == ".inc") {
        if (statement.tokens.size() != 2) {
          throw NetlistError(where, ".include takes one file name");
        }
        const std::string& name = statement.tokens[1].text;
        const std::filesystem::path included = path.parent_path() / name;
        const std::filesystem::path shown_path = std::filesystem::path(shown).parent_path() / name;
        read(included, shown_path.string(), &where);
        open_statement = -1;
        continue;
      }
      statements.push_back(std::move(statement));
      open_statement = static_cast<std::ptrdiff_t>(statements.size()) - 1;
    }
    open_.pop_back();
  }

 private:
  std::vector<std::filesystem::path> open_;  // the files being read, outermost first
};

// Every ( and [ of a statement closed in order, within the statement.
void check_brackets(const Statement& statement) {
  std::vector<const Token*> open;
  for (const Token& token : statement.tokens) {
    if (token.quoted) continue;
    if (token.text == "(" || token.text == "[") {
      open.push_back(&token);
    } else if (token.text == ")" || token.text == "]") {
      const char opener = token.text == ")" ? '(' : '[';
      if (open.empty() || open.back()->text[0] != opener) {
        throw NetlistError(token.where, "'" + token.text + "' without a matching '" +
                                            std::string(1, opener) + "'");
      }
      open.pop_back();
    }
  }
  if (!open.empty()) {
    const char closer = open.back()->text == "(" ? ')' : ']';
    throw NetlistError(open.back()->where, "'" + open.back()->text + "' is not closed by '" +
                                               std::string(1, closer) +
                                               "' (does a continuation line lack its '+'?)");
  }
}

}  // namespace

NetlistError::NetlistError(const Location& where, const std::string& problem)
    : std::runtime_error(where.file + ":" + std::to_string(where.line) + ": " + problem) {}

void tokenize(const std::string& line, const Location& where, std::vector<Token>& tokens) {
  std::size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (is_space(c)) {
      ++at;
    } else if (c == ';') {
      return;
    } else if (c == '"') {
      const std::size_t end = line.find('"', at + 1);
      if (end == std::string::npos) throw NetlistError(where, "unterminated string");
      tokens.push_back({line.substr(at + 1, end - at - 1), where, true});
      at = end + 1;
    } else if (is_separator(c)) {
      tokens.push_back({std::string(1, c), where, false});
      ++at;
    } else {
      const std::size_t start = at;
      while (at < line.size() && !is_space(line[at]) && !is_separator(line[at]) &&
             line[at] != ';' && line[at] != '"') {
        ++at;
      }
      tokens.push_back({line.substr(start, at - start), where, false});
    }
  }
}

std::vector<Statement> read_statements(const std::filesystem::path& file) {
  Reader reader;
  reader.read(file, file.string(), nullptr);
  for (const Statement& statement : reader.statements) check_brackets(statement);
  return std::move(reader.statements);
}

}  // namespace host::netlist
