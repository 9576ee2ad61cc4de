#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "sim/SimAddress.h"
#include "sim/SimBenchFile.h"
#include "sim/SimStatus.h"
#include "tests/unit/sim/SimTestSupport.h"

namespace {

// The source tree's root, from this area's data folder.
std::string BenchDir() {
  const std::string data = BS_TEST_DATA_DIR;
  const std::string tail = "tests/unit/sim/data";
  return data.substr(0, data.size() - tail.size()) + "sim/benches/";
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// "k.k.k...": a key of that many parts.
std::string DottedKey(size_t parts) {
  std::string key = "k";
  for (size_t i = 1; i < parts; ++i) key += ".k";
  return key;
}

// Instruments whose identifications are padded to a million bytes each, four lines apiece.
std::string PaddedInstruments(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += "[[instrument]]\naddress = \"GPIB0::" + std::to_string(i) +
            "::INSTR\"\nidentification = \"x\"\npad_identification_to = 1000000\n";
  }
  return text;
}

std::string Refusal(const std::string& toml) {
  sim::SimBench bench;
  std::string error;
  EXPECT_FALSE(sim::ReadBenchText(toml, "bad.toml", bench, error)) << toml;
  return error;
}

TEST(SimBenchFile, EmbeddedDefaultIsTheShippedDefaultByteForByte) {
  const std::string shipped = ReadFile(BenchDir() + "default.toml");
  ASSERT_FALSE(shipped.empty());
  EXPECT_EQ(shipped, sim::DefaultBenchText());
}

TEST(SimBenchFile, EveryShippedBenchLoads) {
  for (const char* name :
       {"default.toml", "empty-bus.toml", "two-tls.toml", "faults.toml", "instrument-io.toml", "two-visa.toml"}) {
    sim::SimBench bench;
    std::string error;
    EXPECT_TRUE(sim::ReadBenchFile(BenchDir() + name, bench, error)) << name << ": " << error;
  }
}

TEST(SimBenchFile, DefaultBenchShowsEveryFeature) {
  sim::SimBench bench;
  std::string error;
  ASSERT_TRUE(sim::ReadBenchText(sim::DefaultBenchText(), "default", bench, error)) << error;
  ASSERT_EQ(bench.mainframes.size(), 2u);
  ASSERT_EQ(bench.instruments.size(), 1u);
  EXPECT_EQ(bench.mainframes[0].address, "GPIB0::20::INSTR");
  EXPECT_EQ(bench.mainframes[1].address, "GPIB0::22::INSTR");
  EXPECT_EQ(bench.instruments[0].address, "GPIB1::7::INSTR");
  EXPECT_EQ(bench.mainframes[0].slots[0].type, kSlotTunableLaser);
  EXPECT_EQ(bench.mainframes[0].slots[1].type, kSlotPowerMeter);
  EXPECT_EQ(bench.mainframes[0].slots[2].type, kSlotDualPowerMeter);
  EXPECT_EQ(bench.mainframes[0].slots[12].type, kSlotReturnLoss);
  EXPECT_NE(bench.mainframes[1].slots[3].identification.find("795"), std::string::npos);
  EXPECT_DOUBLE_EQ(bench.mainframes[0].slots[2].lit[1], 1.0e-5);
}

TEST(SimBenchFile, RefusesBadFilesNamingFileLineAndProblem) {
  const std::string head = "format_version = 1\n";
  const std::string stray =
      "syntax error: a character beyond ASCII (byte 0xC3) is allowed only in strings and comments, and not first "
      "after a backslash";
  const std::string mainframe = "[[mainframe]]\naddress = \"GPIB0::20::INSTR\"\nidentification = \"A,B,C,D\"\n";
  struct Case {
    std::string toml;
    std::string message;
  };
  const Case cases[] = {
      {"description = \"no version\"\n",
       "bench file \"bad.toml\", line 1: no \"format_version\"; a bench file starts with format_version = 1"},
      {"format_version = 2\n", "bench file \"bad.toml\", line 1: \"format_version\" must be between 1 and 1, not 2"},
      {head + "colour = \"red\"\n", "bench file \"bad.toml\", line 2: unknown key \"colour\" in the bench"},
      {head + mainframe + "slots = 3\n",
       "bench file \"bad.toml\", line 5: unknown key \"slots\" in [[mainframe]]"},
      {head + mainframe + "[[mainframe.slot]]\nslot = \"one\"\ntype = 1\nidentification = \"x\"\n",
       "bench file \"bad.toml\", line 6: \"slot\" must be an integer"},
      {head + mainframe + "[[mainframe.slot]]\nslot = 18\ntype = 1\nidentification = \"x\"\n",
       "bench file \"bad.toml\", line 6: \"slot\" must be between 0 and 17, not 18"},
      {head + mainframe + "[[mainframe.slot]]\nslot = 2\ntype = 8\nidentification = \"x\"\n",
       "bench file \"bad.toml\", line 7: \"type\" must be between 0 and 7, not 8"},
      {head + mainframe + "[[mainframe.slot]]\nslot = 2\ntype = 1\nidentification = \"x\"\n"
                          "[[mainframe.slot]]\nslot = 2\ntype = 5\nidentification = \"y\"\n",
       "bench file \"bad.toml\", line 10: slot 2 is given twice for \"GPIB0::20::INSTR\""},
      {head + mainframe + "[[mainframe.slot]]\nslot = 2\ntype = 5\nidentification = \"x\"\ndark = 1.0\n",
       "bench file \"bad.toml\", line 9: \"dark\" is for power meters (type 1 or 2) only"},
      {head + mainframe + "[[mainframe.slot]]\nslot = 2\ntype = 2\nidentification = \"x\"\nlit = [1.0]\n",
       "bench file \"bad.toml\", line 9: \"lit\" needs 2 values, one per channel"},
      {head + mainframe + "[[instrument]]\naddress = \"gpib0::20::instr\"\nidentification = \"x\"\n",
       "bench file \"bad.toml\", line 5: address \"gpib0::20::instr\" is already used on line 2"},
      {head + "[[instrument]]\naddress = \"COM1\"\nidentification = \"x\"\n",
       "bench file \"bad.toml\", line 3: \"COM1\" is not a GPIB resource of boards 0 to 9 (like GPIB0::20::INSTR)"},
      {head + "[[instrument]]\nidentification = \"x\"\n", "bench file \"bad.toml\", line 2: [[instrument]] has no \"address\""},
      {head + mainframe + "[[mainframe.fault]]\nfunction = \"kv740m_fly\"\n",
       "bench file \"bad.toml\", line 6: \"kv740m_fly\" is not a function of kv740m_32.dll"},
      {head + mainframe + "[[mainframe.fault]]\nfunction = \"kv740m_listVisa_Q\"\n",
       "bench file \"bad.toml\", line 6: the listing belongs to no mainframe; use [listing]"},
      {head + mainframe + "[[mainframe.fault]]\nfunction = \"kv740m_preset\"\nstatus = 0\n",
       "bench file \"bad.toml\", line 7: \"status\" 0 means success and cannot be a fault"},
      {head + mainframe + "[[mainframe.fault]]\nfunction = \"kv740m_preset\"\nstatus = -5\nmessage = \"a\"\n"
                          "[[mainframe.fault]]\nfunction = \"kv740m_cls\"\nstatus = -5\nmessage = \"b\"\n",
       "bench file \"bad.toml\", line 12: status 0xFFFFFFFB already has the message \"a\""},
      {head + mainframe + "[[mainframe.fault]]\nfunction = \"kv740m_init\"\nstatus = 0xBFFC0D07\n",
       "bench file \"bad.toml\", line 7: kv740m_init opens no session when it fails, so 0xBFFC0D07 cannot be "
       "read back; give another status"},
      {head + "[listing]\ndelay_seconds = -1\n",
       "bench file \"bad.toml\", line 3: \"delay_seconds\" must be between 0 and 3600"},
      {head + "[listing]\nstatus = -7\n", "bench file \"bad.toml\", line 3: \"status\" and \"message\" need \"fails = true\""},
      {head + mainframe + "idn_timeout = \"yes\"\n", "bench file \"bad.toml\", line 5: \"idn_timeout\" must be true or false"},
      {head + mainframe + "pad_identification_to = 3\n",
       "bench file \"bad.toml\", line 5: \"pad_identification_to\" is shorter than the identification"},
      {head + mainframe + "line_end = \"\\n\"\n",
       "bench file \"bad.toml\", line 5: \"line_end\" must be \"LF\", \"CR\" or \"CRLF\", not \"\n\""},
      {head + mainframe + "answer_delay_ms = 600001\n",
       "bench file \"bad.toml\", line 5: \"answer_delay_ms\" must be between 0 and 600000, not 600001"},
      {head + mainframe + "answers = { \"*opc?\" = \"0\" }\n",
       "bench file \"bad.toml\", line 5: \"*opc?\" is answered by every instrument already"},
      {head + mainframe + "answers = { \" X\" = \"0\" }\n",
       "bench file \"bad.toml\", line 5: an answered command must be one line without surrounding blanks, not \" X\""},
      {head + mainframe + "answers = { \"X?\" = 0 }\n", "bench file \"bad.toml\", line 5: \"X?\" must be a string"},
      {head + mainframe + "answers = [\"X?\"]\n",
       "bench file \"bad.toml\", line 5: \"answers\" must be a table like { \"MEAS:POW?\" = \"-3.28\" }"},
      {head + "[[visa_copy]]\nfolder = \"desktop\"\n",
       "bench file \"bad.toml\", line 3: \"folder\" must be one of \"program\", \"current\", \"system\", "
       "\"other_system\", \"windows\", \"path\", not \"desktop\""},
      {head + "[[visa_copy]]\nfolder = \"path\"\n",
       "bench file \"bad.toml\", line 2: \"path\" goes with folder \"path\", and only with it"},
      {head + "[[visa_copy]]\nfolder = \"system\"\nvariant = \"no-init\"\n",
       "bench file \"bad.toml\", line 4: \"no-init\" is not a variant of visa32.dll"},
      {head + "[[visa_registry]]\nview = \"own\"\nkey = \"K\"\n",
       "bench file \"bad.toml\", line 2: [[visa_registry]] has no \"name\""},
      {head + "[visa]\nmaker_id = 65536\n", "bench file \"bad.toml\", line 3: \"maker_id\" must be between 0 and 65535, not 65536"},
      // Nesting that would overflow the parser's stack is refused before parsing.
      {head + "\n" + DottedKey(80000) + " = 1\n",
       "bench file \"bad.toml\", line 3: keys are nested deeper than 32 levels"},
      {head + DottedKey(32) + " = 1\n", "bench file \"bad.toml\", line 2: unknown key \"k\" in the bench"},
      {head + DottedKey(33) + " = 1\n",
       "bench file \"bad.toml\", line 2: keys are nested deeper than 32 levels"},
      {head + "[" + DottedKey(20) + "]\n" + DottedKey(13) + " = 1\n",
       "bench file \"bad.toml\", line 3: keys are nested deeper than 32 levels"},
      {head + "[[" + DottedKey(40000) + "]]\n",
       "bench file \"bad.toml\", line 2: keys are nested deeper than 32 levels"},
      {head + "k = \"\"\"a.b\n\"\"\"\n" + "'k'.\"k\" = " + std::string(31, '{') + " k = 1 " + std::string(31, '}'),
       "bench file \"bad.toml\", line 4: keys are nested deeper than 32 levels"},
      {head + "k = " + std::string(33, '[') + std::string(33, ']') + "\n",
       "bench file \"bad.toml\", line 2: keys are nested deeper than 32 levels"},
      // The parser's debug build would assert on it rather than refuse it.
      {head + "\n[a\x7F]\n", "bench file \"bad.toml\", line 3: syntax error: control character 0x7F is not allowed"},
      {head + "k = \"a\x01\"\n", "bench file \"bad.toml\", line 2: syntax error: control character 0x01 is not allowed"},
      // Where the parser would assert or meet undefined behaviour.
      {head + "[{ code = 1 }]\n", "bench file \"bad.toml\", line 2: syntax error: a table header must start with a key"},
      {head + "[[[mainframe]]]\n", "bench file \"bad.toml\", line 2: syntax error: a table header must start with a key"},
      {head + "message = [[1, }\n", "bench file \"bad.toml\", line 2: syntax error: an array's element is missing before \"}\""},
      {head + "x = \xC3\xA9\n", "bench file \"bad.toml\", line 2: " + stray},
      {head + "type = 5'''\xC3\xA9 # a number, not a string\n", "bench file \"bad.toml\", line 2: " + stray},
      {head + "\"k\xC3\xA9\" = 1\n", "bench file \"bad.toml\", line 2: " + stray},
      {head + "description = \"\"\"a \\\n\n  \xC3\xA9\"\"\"\n", "bench file \"bad.toml\", line 4: " + stray},
      {head + PaddedInstruments(17),
       "bench file \"bad.toml\", line 69: the padded identifications come to more than 16777216 bytes in all"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Refusal(c.toml), c.message) << c.toml;
  }
}

TEST(SimBenchFile, SyntaxErrorsNameTheLine) {
  const std::string error = Refusal("format_version = 1\n\n[[mainframe]\naddress = 1\n");
  EXPECT_EQ(error.rfind("bench file \"bad.toml\", line 3: syntax error: ", 0), 0u) << error;
}

TEST(SimBenchFile, MissingFileIsNamed) {
  sim::SimBench bench;
  std::string error;
  EXPECT_FALSE(sim::ReadBenchFile("/nonexistent/bench.toml", bench, error));
  EXPECT_EQ(error, "bench file \"/nonexistent/bench.toml\" cannot be opened");
}

TEST(SimBenchFile, StatusesInHexOrSignedAndPaddedAnswers) {
  sim::SimBench bench;
  std::string error;
  ASSERT_TRUE(sim::ReadBenchText("format_version = 1 # \xC3\xA9\ndescription = \"\"\"\xC3\xA9 \\\n c\xC3\xA9\"\"\"\n"
                                 "[[mainframe]]\naddress = \"GPIB3::4\"\n"
                                 "identification = \"abc\"\npad_identification_to = 10\n"
                                 "[[mainframe.fault]]\nfunction = \"kv740m_cls\"\nstatus = 0xBFFC0D07\n"
                                 "[[mainframe.fault]]\nfunction = \"kv740m_dcl\"\nstatus = -1074000633\n",
                                 "ok.toml", bench, error))
      << error;
  EXPECT_EQ(bench.mainframes[0].identification, "abc.......");
  EXPECT_EQ(bench.mainframes[0].faults[0].status, kKvInstrumentError);
  EXPECT_EQ(bench.mainframes[0].faults[1].status, kKvInstrumentError);
  EXPECT_EQ(bench.mainframes[0].faults[0].entry.message, "Device-specific error");

  // Negative and NaN readings are how a bench shows a broken meter; sixteen
  // padded identifications of a million bytes stay within the limit.
  ASSERT_TRUE(sim::ReadBenchText("format_version = 1\n" + PaddedInstruments(16) +
                                     "[[mainframe]]\naddress = \"GPIB3::4\"\nidentification = \"abc\"\n"
                                     "[[mainframe.slot]]\nslot = 2\ntype = 2\nidentification = \"x\"\n"
                                     "lit = [-1.5e-3, nan]\ndark = [-inf, 2.5e-10]\n",
                                 "ok.toml", bench, error))
      << error;
  EXPECT_DOUBLE_EQ(bench.mainframes[0].slots[2].lit[0], -1.5e-3);
  EXPECT_TRUE(std::isnan(bench.mainframes[0].slots[2].lit[1]));
  EXPECT_TRUE(std::isinf(bench.mainframes[0].slots[2].dark[0]));
  EXPECT_DOUBLE_EQ(bench.mainframes[0].slots[2].dark[1], 2.5e-10);
  EXPECT_EQ(bench.instruments[15].identification.size(), 1000000u);
}

class SimRefusedBench : public SimTest {};

TEST_F(SimRefusedBench, EveryCallFailsAndTheDriverGivesTheMessage) {
  std::string error;
  EXPECT_FALSE(SimLoadBenchText("format_version = 1\nfoo = 1\n", "broken.toml", error));
  const std::string message = "bench file \"broken.toml\", line 2: unknown key \"foo\" in the bench";
  EXPECT_EQ(error, message);

  int32_t count = 7;
  char list[5000] = "x";
  const KvStatus status = driver.kv740m_listVisa_Q(0, 1, &count, list);
  EXPECT_EQ(status, sim::kSimErrorBench);
  EXPECT_LT(status, 0);
  EXPECT_EQ(count, 0);
  EXPECT_STREQ(list, "");
  EXPECT_EQ(ErrorMessage(status), message);

  KvSession session = 5;
  EXPECT_EQ(driver.kv740m_init(kMainframeA, 1, 0, &session), sim::kSimErrorBench);
  EXPECT_EQ(session, 0u);
  char id[2048] = "x";
  EXPECT_EQ(driver.kv740m_getInstrumentId_Q(kMainframeA, id), sim::kSimErrorBench);
  EXPECT_EQ(driver.kv740m_preset(1), sim::kSimErrorBench);

  ViSession manager = 9;
  EXPECT_EQ(visa.viOpenDefaultRM(&manager), kViErrorSystem);
  EXPECT_EQ(manager, 0u);

  SimUseDefaultBench();
  EXPECT_EQ(visa.viOpenDefaultRM(&manager), kViSuccess);
}

TEST(SimAddress, ParsesVisaSpellingsToOneForm) {
  EXPECT_EQ(sim::AddressKey("GPIB0::20::INSTR"), "GPIB0::20::INSTR");
  EXPECT_EQ(sim::AddressKey("gpib::20"), "GPIB0::20::INSTR");
  EXPECT_EQ(sim::AddressKey("GPIB1::5::3::INSTR"), "GPIB1::5::3::INSTR");
  for (const char* bad : {"", "GPIB0", "GPIB0::", "GPIB0::31::INSTR", "GPIB0::20::", "GPIB0::20::INSTRX",
                          "GPIB0::20::INSTR::", "ASRL1::INSTR", "GPIB0::2000"}) {
    EXPECT_EQ(sim::AddressKey(bad), "") << bad;
  }
}

}  // namespace
