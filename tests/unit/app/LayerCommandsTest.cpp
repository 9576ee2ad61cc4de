// The layer commands that exist so far, run through their menu ids on a bare
// fake machine: each writes its own banner and verdict, OS before SW in Diagnose All.
#include <gtest/gtest.h>

#include "app/DiagDlg.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeNetwork.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/unit/app/AppFixture.h"

namespace {

class LayerCommandsTest : public AppTest {
 protected:
  LayerCommandsTest() {
    Platform platform = GetPlatform();
    platform.system = &m_system;
    platform.libraries = &m_libraries;
    platform.network = &m_network;
    SetPlatform(platform);
    m_instrument.Start();
  }


  // The layers whose banners and verdicts appear, in order.
  static std::vector<std::string> Layers(const std::string& text) {
    std::vector<std::string> layers;
    const std::string banner = std::string(46, '*') + "\r\n";
    size_t pos = 0;
    while ((pos = text.find(banner, pos)) != std::string::npos) {
      pos += banner.size();
      const size_t end = text.find(" Layer check, ", pos);
      if (end == std::string::npos || end - pos > 15) continue;
      const std::string name = text.substr(pos, end - pos);
      const size_t verdict = text.find(name + " Layer Check", end);
      layers.push_back(name + (verdict != std::string::npos ? " checked" : " unfinished"));
    }
    return layers;
  }

  FakeSystem m_system;
  FakeLibraries m_libraries;
  FakeNetwork m_network;
};

TEST_F(LayerCommandsTest, OsAndSwAnswerToBothTheirIds) {
  const std::vector<std::string> expected = {"OS checked", "OS checked", "SW checked",
                                             "SW checked"};
  EXPECT_EQ(Layers(RunCommands({ID_LAYER_OS, ID_LAYER_OS_ALT, ID_LAYER_SW, ID_LAYER_SW_ALT})),
            expected);
  EXPECT_EQ(m_shell.WaitCursorDepth(), 0);
  EXPECT_EQ(JournalOf({"cursor on"}).size(), 4u);
}

TEST_F(LayerCommandsTest, DiagnoseAllRunsTheFiveLayersInOrderWhateverFails) {
  // Nothing of the bench is installed: GPIB, Instrument and Optical all fail.
  const std::vector<std::string> once = {"OS checked", "SW checked", "GPIB checked",
                                         "Instrument checked", "Optical checked"};
  std::vector<std::string> expected = once;
  expected.insert(expected.end(), once.begin(), once.end());
  const std::string window = RunCommands({ID_DIAGNOSE_ALL, ID_DIAGNOSE_ALL_ALT});
  EXPECT_EQ(Layers(window), expected);
  // The intro was cleared once, before the first banner.
  EXPECT_EQ(window.compare(0, 46, std::string(46, '*')), 0);
  EXPECT_EQ(window.find("This tool will allow you"), std::string::npos);
  EXPECT_NE(m_document.find("<b>OS Layer check, </b>"), std::string::npos);
  EXPECT_LT(m_document.find("<b>OS Layer check, </b>"), m_document.find("<b>SW Layer check, </b>"));
  EXPECT_NE(window.find("Optical Layer Check FAILED!!!."), std::string::npos);
  EXPECT_EQ(JournalOf({"cursor on"}).size(), 10u);
}

}  // namespace
