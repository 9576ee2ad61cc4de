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
    // Window inserts, run without a progress: one before each wait and one at
    // the end. GPIB: the header and probe before board 0's scan, each board with
    // findings before the next scan, the end. Instrument: the listing, the end.
    // Optical: the listing, each laser's settling (once on the faults bench: its
    // second mainframe, which cannot be read, has no slot table and so no laser
    // to switch), the end.
    int inserts;
  } cases[] = {
      {Layer::Gpib, "default.toml", "gpib_default", 1 + 2 + 1},
      {Layer::Gpib, "faults.toml", "gpib_faults", 1 + 3 + 1},
      {Layer::Gpib, "empty-bus.toml", "gpib_empty_bus", 1 + 1},
      {Layer::Instrument, "default.toml", "instr_default", 1 + 1},
      {Layer::Instrument, "faults.toml", "instr_faults", 1 + 1},
      {Layer::Instrument, "empty-bus.toml", "instr_empty_bus", 1 + 1},
      {Layer::Optical, "default.toml", "optical_default", 1 + 1 + 1},
      {Layer::Optical, "faults.toml", "optical_faults", 1 + 1 + 1},
      {Layer::Optical, "empty-bus.toml", "optical_empty_bus", 1 + 1},
      {Layer::Optical, "two-tls.toml", "optical_two_tls", 1 + 2 + 1},
      {Layer::Gpib, "markup.toml", "gpib_markup", 1 + 2 + 1},
      {Layer::Instrument, "markup.toml", "instr_markup", 1 + 1},
      {Layer::Optical, "markup.toml", "optical_markup", 1 + 1 + 1},
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
    std::unique_ptr<CLayerCheck> check;
    if (c.layer == Layer::Gpib) {
      check = std::make_unique<CGpibLayerCheck>();
    } else if (c.layer == Layer::Optical) {
      check = std::make_unique<COpticalLayerCheck>();
    } else {
      check = std::make_unique<CInstrLayerCheck>();
    }
    ASSERT_GT(out.Run(*check), 0);
    EXPECT_EQ(out.Window().InsertCount(), c.inserts);
    ExpectGolden(std::string(c.golden) + "_window.txt", out.WindowText());
    ExpectGolden(std::string(c.golden) + "_document.html", out.Document());
  }
}

}  // namespace
