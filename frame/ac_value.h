// A complex small-signal value: real part then imaginary part, passed by value.
#pragma once

struct ac_value {
  double re;
  double im;
};
