// Every analog deliverable in a circuit: each pin held by a voltage source, through an
// operating point, a short transient and an AC point, with finite results.
#include <gtest/gtest.h>

#include <cmath>

#include "host/analog/ac_analysis.h"
#include "host/analog/operating_point.h"
#include "host/analog/transient.h"
#include "tests/analog/analog_fixture.h"

namespace {

using host::analog::Waveform;

std::vector<std::string> analog_deliverables() {
  std::vector<std::string> names;
  for (const host::CatalogEntry& entry : host::catalog()) {
    if (entry.kind == host::UnitKind::analog) names.emplace_back(entry.name);
  }
  return names;
}

class DeliverableTest : public test::AnalogTest,
                        public ::testing::WithParamInterface<std::string> {};

TEST_P(DeliverableTest, SolvesWithEveryPinDriven) {
  const host::CatalogEntry& entry = *host::find_entry(GetParam());
  std::vector<std::string> nodes;
  for (std::int32_t n = 1; n <= entry.pin_count(); ++n) {
    const std::string node = "p" + std::to_string(n);
    nodes.push_back(node);
    circuit().voltage_source("V" + std::to_string(n), node, "0",
                             Waveform::sine(host::analog::Sine{0.4 * n, 0.1, 1e3})
                                 .with_dc(0.4 * n)
                                 .with_ac(n == 1 ? 1.0 : 0.0));
  }
  circuit().unit("X1", GetParam(), nodes);
  const auto op = host::analog::operating_point(circuit());
  for (std::int32_t n = 1; n <= entry.pin_count(); ++n) {
    EXPECT_TRUE(std::isfinite(op.current("V" + std::to_string(n))));
  }
  host::analog::TransientOptions options;
  options.stop = 1e-4;
  const auto tran = host::analog::transient(circuit(), options);
  EXPECT_TRUE(std::isfinite(tran.current("V1").back()));
  host::analog::AcOptions ac;
  ac.sweep = host::analog::AcSweep::linear;
  ac.points = 1;
  ac.start = ac.stop = 1e3;
  const auto small_signal = host::analog::ac_analysis(circuit(), ac);
  EXPECT_TRUE(std::isfinite(std::abs(small_signal.current("V1").at(0))));
}

INSTANTIATE_TEST_SUITE_P(Analog, DeliverableTest, ::testing::ValuesIn(analog_deliverables()),
                         [](const auto& entry) {
                           std::string name = entry.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
