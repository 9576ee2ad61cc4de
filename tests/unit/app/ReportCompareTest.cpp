// Two JSON reports compared: what counts as a change, in which words and order,
// and what does not count.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "app/ReportCompare.h"

namespace {

using Json = nlohmann::ordered_json;
using Edit = std::function<void(Json&)>;

Json Report() {
  std::ifstream file(std::string(BS_SOURCE_DIR) + "/tests/unit/app/data/report_v2.json");
  return Json::parse(file);
}

Json& Layer(Json& report, int index) { return report["layers"][index]; }
Json& Slot(Json& report, int layer, int mainframe, int slot) {
  return report["layers"][layer]["mainframes"][mainframe]["slots"][slot];
}
Json& Library(Json& report, int layer, int index) { return report["layers"][layer]["libraries"][index]; }
Json& Resource(Json& report, int board, int index) { return report["layers"][2]["boards"][board]["resources"][index]; }

// The VISA Libraries findings of a PC whose loaded visa32.dll lies in folder.
Json Visa(const std::string& folder, const std::string& publisher, const std::string& root) {
  const std::string path = folder + "\\visa32.dll";
  return {{"loaded", {{"path", path}, {"version", "74.1.1.0"}, {"publisher", publisher}}},
          {"self", {{"maker", publisher}}},
          {"copies", {{{"path", path}, {"folder", "system folder"}, {"version", "74.1.1.0"}, {"publisher", publisher}},
                      {{"path", "C:\\WINNT\\system32\\visa32.dll"}, {"searched", false}, {"folder", "64-bit system folder"}}}},
          {"registry", {{{"view", ""}, {"key", "SOFTWARE\\V"}, {"name", "VXIPNPPATH"}, {"data", root}}}}};
}

TEST(ReportCompareTest, EachKindOfChangeAndWhatDoesNotCount) {
  struct Case {
    const char* name;
    Edit before;
    Edit after;
    double tolerance;
    std::vector<std::string> changes;  // "layer kind: line"
  };
  const Edit none = [](Json&) {};
  const Case cases[] = {
      {"what changes on every run", none,
       [](Json& r) {
         r["started"] = "2026-12-09T05:00:00";
         Layer(r, 0)["system"]["memory"]["free_kb"] = 1024;
         Layer(r, 0)["report"] = "Friday, March 02, 2001, 14:05:09, IP address 10.0.0.7\r\n";
         Slot(r, 4, 0, 1)["measurements"][0]["dbm"] = -4.279;  // within 1 dB
       },
       1.0, {}},
      {"verdict and code", none,
       [](Json& r) { Layer(r, 3)["verdict"] = "failed"; Layer(r, 3)["error_code"] = 1000; },
       1.0, {"Instrument verdict: Instrument layer: verdict OK -> FAILED",
        "Instrument error_code: Instrument layer: error code 0 -> 1000"}},
      {"another VISA loaded: before every layer's change, with its copies and registry entries",
       [](Json& r) { r["visa_libraries"] = Visa("C:\\WINNT\\system32", "Velmora Technologies", "C:\\VXIPNP"); },
       [](Json& r) {
         r["visa_libraries"] = Visa("C:\\bench", "Open Instrument Works", "D:\\VXIPNP");
         Layer(r, 3)["verdict"] = "failed";
       },
       1.0, {"VISA visa_loaded_path: visa32.dll loaded: path C:\\WINNT\\system32\\visa32.dll -> C:\\bench\\visa32.dll",
        "VISA visa_loaded_publisher: visa32.dll loaded: publisher Velmora Technologies -> Open Instrument Works",
        "VISA visa_loaded_maker: visa32.dll loaded: maker Velmora Technologies -> Open Instrument Works",
        "VISA visa_copy_appeared: C:\\bench\\visa32.dll: appeared: 74.1.1.0, Open Instrument Works",
        "VISA visa_copy_disappeared: C:\\WINNT\\system32\\visa32.dll: no longer found (was 74.1.1.0, Velmora Technologies)",
        "VISA visa_registry_changed: SOFTWARE\\V\\VXIPNPPATH: C:\\VXIPNP -> D:\\VXIPNP",
        "Instrument verdict: Instrument layer: verdict OK -> FAILED"}},
      {"Windows updated", none,
       [](Json& r) {
         Layer(r, 0)["system"]["service_pack"] = "Service Pack 3";
         Layer(r, 0)["system"]["memory"]["total_mb"] = 128;
       },
       1.0, {"OS system_service_pack: Windows: service pack Service Pack 2 -> Service Pack 3",
        "OS system_memory: RAM (MB): memory 64 -> 128"}},
      {"another VISA, once though two layers list it", none,
       [](Json& r) {
         for (Json* visa : {&Library(r, 1, 3), &Library(r, 2, 0)}) {
           (*visa)["version"] = "5.1.0.0";
           (*visa)["version_string"] = "5.1";
           (*visa)["publisher"] = "National Example";
         }
       },
       1.0, {"SW library_version: visa32.dll: version 74.1.1.0 -> 5.1.0.0",
        "SW library_version_string: visa32.dll: version string J.01.01 -> 5.1",
        "SW library_publisher: visa32.dll: publisher Velmora Technologies -> National Example"}},
      {"libraries gone, back, not loadable and moved",
       [](Json& r) {
         Library(r, 1, 2)["found"] = "missing";
         Library(r, 1, 5)["found"] = "missing";
         Library(r, 1, 5)["copies"] = {{{"name", "C:\\old\\msvcp60.dll"}}};
       },
       [](Json& r) {
         Library(r, 1, 0)["found"] = "missing";
         Library(r, 1, 0)["copies"] = {{{"name", "C:\\tmp\\zeb_32.dll"}}};
         Library(r, 1, 1)["found"] = "not loadable";
         Library(r, 1, 5)["found"] = "missing";
         Library(r, 1, 5)["copies"] = {{{"name", "C:\\new\\msvcp60.dll"}}};
       },
       1.0, {"SW library_disappeared: zeb_32.dll: no longer found (was accessible)",
        "SW library_found: rz2290_32.dll: found accessible -> not loadable",
        "SW library_appeared: kv740m_32.dll: appeared: accessible",
        "SW library_moved: msvcp60.dll: moved from C:\\old\\msvcp60.dll to C:\\new\\msvcp60.dll"}},
      {"GPIB instruments", none,
       [](Json& r) {
         Resource(r, 0, 0)["identification"] = "Velmora Technologies,VT7412A,DE00000101,V3.14(5002)";
         Resource(r, 0, 1)["identification"] = "";
         r["layers"][2]["boards"][1]["resources"][0]["resource"] = "GPIB1::9::INSTR";
       },
       1.0, {"GPIB resource_firmware: GPIB0::20::INSTR: firmware V3.12(4711) -> V3.14(5002)",
        "GPIB resource_silent: GPIB0::22::INSTR: no longer answers (was Velmora Technologies,VT7412A,DE00000102,V3.12(4711))",
        "GPIB resource_appeared: GPIB1::9::INSTR: appeared: Oberon Instruments,DMM-3400,OB-118204,1.4.2",
        "GPIB resource_disappeared: GPIB1::7::INSTR: no longer found (was Oberon Instruments,DMM-3400,OB-118204,1.4.2)"}},
      {"modules moved, replaced, added, removed; the moved meter's reading is its own", none,
       [](Json& r) {
         for (int layer : {3, 4}) {
           Slot(r, layer, 0, 1)["slot"] = 7;
           Slot(r, layer, 0, 3)["identification"] = "Velmora Technologies,VT7481A,DE00000499,V1.20";
           Json added = Slot(r, layer, 1, 1);
           added["slot"] = 9;
           added["identification"] = "Velmora Technologies,VT79501A,DE00000502,V0.95";
           r["layers"][layer]["mainframes"][1]["slots"].erase(0);
           r["layers"][layer]["mainframes"][1]["slots"].push_back(added);
         }
       },
       1.0, {"Instrument module_moved: GPIB0::20::INSTR slot 1: module moved to slot 7",
        "Instrument module_serial: GPIB0::20::INSTR slot 12: serial number DE00000401 -> DE00000499",
        "Instrument module_appeared: GPIB0::22::INSTR slot 9: appeared: single-channel power meter, Velmora "
        "Technologies,VT79501A,DE00000502,V0.95",
        "Instrument module_disappeared: GPIB0::22::INSTR slot 0: no longer found (was dual-channel power meter, "
        "Velmora Technologies,VT7464B,DE00000303,V1.08)"}},
      {"mainframe gone, one come", none,
       [](Json& r) {
         for (int layer : {3, 4}) {
           r["layers"][layer]["mainframes"][1]["address"] = "GPIB0::23::INSTR";
           r["layers"][layer]["mainframes"][1]["identification"] = nullptr;
         }
       },
       1.0, {"Instrument mainframe_appeared: GPIB0::23::INSTR: appeared: none",
        "Instrument mainframe_disappeared: GPIB0::22::INSTR: no longer found (was Velmora "
        "Technologies,VT7412A,DE00000102,V3.12(4711))"}},
      {"readings beyond the tolerance, and one unreadable", none,
       [](Json& r) {
         Slot(r, 4, 0, 2)["measurements"][0]["dbm"] = -7.4778071;
         Slot(r, 4, 0, 2)["measurements"][1]["valid"] = false;
         Slot(r, 4, 1, 1)["measurements"] = Json::array();
       },
       0.5, {"Optical reading_changed: GPIB0::20::INSTR slot 2 channel 1: power -6.78 dBm -> -7.48 dBm (-0.70 dB)",
        "Optical reading_unreadable: GPIB0::20::INSTR slot 2 channel 2: power no longer readable (was -20.00 dBm)",
        "Optical reading_unreadable: GPIB0::22::INSTR slot 3 channel 1: power no longer readable (was -66.99 dBm)"}},
      {"new error lines only, where the baseline kept them",
       [](Json& r) { Layer(r, 2)["errors"] = {"Timeout on GPIB1"}; },
       [](Json& r) {
         Layer(r, 2)["errors"] = {"Timeout on GPIB1", "Timeout on GPIB1", "No VISA"};
         Layer(r, 1)["errors"] = {"zeb_32.dll is not accessible"};
         Layer(r, 2)["report"] = "######Not an error line of the record\r\n";
       },
       1.0, {"GPIB error_new: new error: Timeout on GPIB1", "GPIB error_new: new error: No VISA"}},
      {"a first-format report: mainframes' identification in the Instrument layer",
       [](Json& r) { Layer(r, 2).erase("boards"); },
       [](Json& r) {
         Layer(r, 2).erase("boards");
         Layer(r, 3)["mainframes"][1]["identification"] = "Velmora Technologies,VT7412A,DE00000102,V3.14(5002)";
       },
       1.0, {"Instrument mainframe_firmware: GPIB0::22::INSTR: firmware V3.12(4711) -> V3.14(5002)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Json before = Report();
    Json after = Report();
    c.before(before);
    c.after(after);
    std::vector<std::string> lines;
    for (const CChange& change : CompareReports(before, after, c.tolerance)) {
      lines.push_back(change.layer + " " + change.kind + ": " + ChangeLine(change));
    }
    EXPECT_EQ(lines, c.changes);
  }
}

}  // namespace
