// The text of a netlist as statements: comments dropped, continuation lines joined, includes
// read in place, nothing after .end. Each token keeps the file and line it came from, so that
// every error can name them.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace host::netlist {

struct Location {
  std::string file;  // as the user named it, or relative to the including file
  int line = 0;
};

// A netlist that cannot be read or built: one message "FILE:LINE: problem".
class NetlistError : public std::runtime_error {
 public:
  NetlistError(const Location& where, const std::string& problem);
  // A message that names no place in a netlist.
  explicit NetlistError(const std::string& message) : std::runtime_error(message) {}
};

struct Token {
  std::string text;
  Location where;
  bool quoted = false;  // a "string"; its text without the quotes
};

// One line with its continuation lines; never empty.
struct Statement {
  std::vector<Token> tokens;
  const Location& where() const { return tokens.front().where; }
};

// Splits one line into tokens: words, and each of ( ) [ ] = , as a token of its own; "..."
// is one quoted token. Throws NetlistError for an unterminated string.
void tokenize(const std::string& line, const Location& where, std::vector<Token>& tokens);

// Reads the netlist file and what it includes. Throws NetlistError for a file that cannot be
// read, an include cycle, a continuation line with nothing to continue, or a bracket left
// open at the end of a statement.
std::vector<Statement> read_statements(const std::filesystem::path& file);

}  // namespace host::netlist
