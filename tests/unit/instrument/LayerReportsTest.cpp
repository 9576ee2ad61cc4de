// Whole reports of the GPIB, Instrument and Optical layers on the shipped
// benches, window and document, compared byte for byte with golden files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "instrument/GpibLayerCheck.h"
#include "instrument/OpticalLayerCheck.h"
#include "tests/unit/instrument/InstrumentTestSupport.h"

namespace {

enum class Layer { Gpib, Instrument, Optical };

class LayerReportsTest : public InstrumentTest {};

TEST_F(LayerReportsTest, EachLayerOnEachShippedBench) {
  const struct {
    Layer layer;
    const char* bench;
    const char* golden;  // <golden>_window.txt and <golden>_document.html
  } cases[] = {
      {Layer::Gpib, "default.toml", "gpib_default"},
      {Layer::Gpib, "faults.toml", "gpib_faults"},
      {Layer::Gpib, "empty-bus.toml", "gpib_empty_bus"},
      {Layer::Instrument, "default.toml", "instr_default"},
      {Layer::Instrument, "faults.toml", "instr_faults"},
      {Layer::Instrument, "empty-bus.toml", "instr_empty_bus"},
      {Layer::Optical, "default.toml", "optical_default"},
      {Layer::Optical, "faults.toml", "optical_faults"},
      {Layer::Optical, "empty-bus.toml", "optical_empty_bus"},
      {Layer::Optical, "two-tls.toml", "optical_two_tls"},
      {Layer::Gpib, "markup.toml", "gpib_markup"},
      {Layer::Instrument, "markup.toml", "instr_markup"},
      {Layer::Optical, "markup.toml", "optical_markup"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.golden);
    FakeLibraries table;
    Platform platform = GetPlatform();
    platform.libraries = &table;
    SetPlatform(platform);
    // CheckLibrary of the GPIB layer finds visa32.dll on the search path.
    ASSERT_TRUE(table.AddSimLibrary("visa32.dll"));
    ASSERT_TRUE(table.AddSimLibrary("kv740m_32.dll"));
    bench.UseShipped(c.bench);
    ReportFixture out;
    out.Clock().SetTicksPerRead(50);
    if (c.layer == Layer::Gpib) {
      CGpibLayerCheck check;
      ASSERT_GT(out.Run(check), 0);
    } else {
      std::unique_ptr<CInstrLayerCheck> check;
      if (c.layer == Layer::Optical) {
        check = std::make_unique<COpticalLayerCheck>();
      } else {
        check = std::make_unique<CInstrLayerCheck>();
      }
      out.Attach(*check);
      check->BeginWithDriver();
      while (check->Step() != -1) {
      }
    }
    ExpectGolden(std::string(c.golden) + "_window.txt", out.WindowText());
    ExpectGolden(std::string(c.golden) + "_document.html", out.Document());
  }
}

}  // namespace
