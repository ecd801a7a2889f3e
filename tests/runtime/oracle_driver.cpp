// Evaluates runtime functions for the accuracy test: reads lines "name re im [re2 im2]" (any
// strtod format, hex floats included) and prints each result as two hex floats.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/ac_functions.h"

namespace {

struct Unary {
  const char* name;
  ac_value (*f)(ac_value);
};

struct Binary {
  const char* name;
  ac_value (*f)(ac_value, ac_value);
};

ac_value module(ac_value x) {
  return {ac_module(x), 0};
}
ac_value real_exp(ac_value x) {
  return {math_real_exp(x.re), 0};
}
ac_value log_base(ac_value x, ac_value b) {
  return ac_log_base(x, b.re);
}
ac_value real_over(ac_value r, ac_value b) {
  return real_ac_div(r.re, b);
}
ac_value real_power(ac_value x, ac_value y) {
  return real_ac_pow(x.re, y);
}
ac_value int_power(ac_value x, ac_value n) {
  return ac_int_pow(x, static_cast<std::int64_t>(n.re));
}

const Unary kUnary[] = {
    {"module", module}, {"sqrt", ac_sqrt}, {"cbrt", ac_cbrt}, {"real_exp", real_exp},
    {"exp", ac_exp},    {"log", ac_log_n}, {"sin", ac_sin},   {"cos", ac_cos},
    {"tan", ac_tan},    {"sh", ac_sh},     {"ch", ac_ch},     {"th", ac_th},
    {"asin", ac_asin},  {"acos", ac_acos}, {"atan", ac_atan}, {"ash", ac_ash},
    {"ach", ac_ach},    {"ath", ac_ath},
};

const Binary kBinary[] = {
    {"div", ac_div},          {"real_div", real_over}, {"log_base", log_base}, {"pow", ac_pow},
    {"real_pow", real_power}, {"int_pow", int_power},  {"atan2", ac_atan2},
};

}  // namespace

int main() {
  char line[512];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    char* cursor = std::strtok(line, " \t\n");
    if (cursor == nullptr) continue;
    const char* name = cursor;
    double v[4] = {0, 0, 0, 0};
    int count = 0;
    while (count < 4 && (cursor = std::strtok(nullptr, " \t\n")) != nullptr) {
      v[count++] = std::strtod(cursor, nullptr);
    }
    ac_value result{};
    bool known = false;
    for (const auto& u : kUnary) {
      if (count == 2 && std::strcmp(name, u.name) == 0) {
        result = u.f({v[0], v[1]});
        known = true;
      }
    }
    for (const auto& b : kBinary) {
      if (count == 4 && std::strcmp(name, b.name) == 0) {
        result = b.f({v[0], v[1]}, {v[2], v[3]});
        known = true;
      }
    }
    if (!known) {
      std::fprintf(stderr, "unknown call: %s with %d operands\n", name, count);
      return 2;
    }
    std::printf("%a %a\n", result.re, result.im);
  }
  return 0;
}
