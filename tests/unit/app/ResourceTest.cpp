// benchsentry.rc against what the program must show: the menu with every text and
// id, the two dialog templates, the About string in the 8-bit code page and the
// version texts. Read as text, so the native build checks it too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/resource.h"

namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream file(std::string(BS_TEST_DATA_DIR) + "/../../../../app/" + name,
                     std::ios::binary);
  EXPECT_TRUE(file.good()) << name;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Runs of blanks outside quotes become one blank.
std::string Squeeze(const std::string& text) {
  std::string squeezed;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    const bool blank = !quoted && (c == ' ' || c == '\t');
    if (blank && !squeezed.empty() && squeezed.back() == ' ') continue;
    squeezed += blank ? ' ' : c;
  }
  return squeezed;
}

// Statements of the file, continuation lines (ending in "," or "|") joined.
std::vector<std::string> Statements(const std::string& text) {
  std::vector<std::string> statements;
  std::istringstream lines(text);
  std::string line;
  std::string pending;
  while (std::getline(lines, line)) {
    line = Trim(line);
    if (line.empty() || line.compare(0, 2, "//") == 0) continue;
    pending += pending.empty() ? line : " " + line;
    const char last = pending.back();
    if (last == ',' || last == '|') continue;
    statements.push_back(Squeeze(pending));
    pending.clear();
  }
  return statements;
}

// A quoted resource string with its escapes resolved ("" and octal).
std::string Unquote(const std::string& statement, size_t& pos) {
  std::string value;
  pos = statement.find('"', pos);
  if (pos == std::string::npos) return value;
  for (++pos; pos < statement.size(); ++pos) {
    const char c = statement[pos];
    if (c == '"') {
      if (pos + 1 < statement.size() && statement[pos + 1] == '"') {
        value += '"';
        ++pos;
        continue;
      }
      ++pos;
      break;
    }
    if (c == '\\' && pos + 1 < statement.size()) {
      const char next = statement[++pos];
      if (next >= '0' && next <= '7') {
        int code = 0;
        for (int digits = 0; digits < 3 && pos < statement.size() && statement[pos] >= '0' &&
                             statement[pos] <= '7';
             ++digits, ++pos) {
          code = code * 8 + (statement[pos] - '0');
        }
        --pos;
        value += static_cast<char>(code);
      } else if (next == 'n') {
        value += '\n';
      } else {
        value += next;
      }
      continue;
    }
    value += c;
  }
  return value;
}

class ResourceTest : public ::testing::Test {
 protected:
  ResourceTest() : m_statements(Statements(ReadSource("benchsentry.rc"))) {
    // The headers the script includes: its ids, the bench dialogs' ids and the
    // version the build writes; text macros are put in place as windres does.
    std::map<std::string, std::string> texts;
    for (const std::string& path : {std::string(BS_SOURCE_DIR) + "/app/resource.h",
                                    std::string(BS_SOURCE_DIR) + "/bench/BenchResource.h",
                                    std::string(BS_GENERATED_DIR) + "/app/Version.h"}) {
      std::ifstream file(path);
      EXPECT_TRUE(file.good()) << path;
      std::string line;
      while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string define, name, value;
        if (!(words >> define >> name) || define != "#define" || !std::getline(words >> std::ws, value)) continue;
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 0);
        if (end != nullptr && *end == '\0') m_ids[name] = static_cast<int>(number);
        texts[name] = value;
      }
    }
    const auto wordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; };
    for (std::string& statement : m_statements) {
      for (const auto& [name, value] : texts) {
        if (name.compare(0, 3, "BS_") != 0) continue;
        for (size_t at = statement.find(name); at != std::string::npos; at = statement.find(name, at + 1)) {
          const size_t after = at + name.size();
          if ((at > 0 && wordChar(statement[at - 1])) || (after < statement.size() && wordChar(statement[after]))) continue;
          statement.replace(at, name.size(), value);
        }
      }
    }
    m_ids["IDOK"] = 1;
    m_ids["IDCANCEL"] = 2;
    m_ids["IDC_STATIC"] = -1;
  }

  // The statements of a block from its header line to its END.
  std::vector<std::string> Block(const std::string& header) const {
    std::vector<std::string> block;
    size_t i = 0;
    while (i < m_statements.size() && m_statements[i].compare(0, header.size(), header) != 0) ++i;
    EXPECT_LT(i, m_statements.size()) << header;
    int depth = 0;
    for (; i < m_statements.size(); ++i) {
      block.push_back(m_statements[i]);
      if (m_statements[i] == "BEGIN") ++depth;
      if (m_statements[i] == "END" && --depth == 0) break;
    }
    return block;
  }

  // A template's controls, one line each: keyword, "text" when it has one,
  // the id's value, position and size, and its style flags in order.
  std::vector<std::string> Controls(const std::string& header) const {
    const std::vector<std::string> block = Block(header);
    std::vector<std::string> controls;
    auto begin = std::find(block.begin(), block.end(), "BEGIN");
    if (begin == block.end()) return controls;
    for (auto it = begin + 1; it != block.end() && *it != "END"; ++it) {
      const std::string& statement = *it;
      std::string line = statement.substr(0, statement.find(' '));
      size_t pos = line.size();
      if (statement.find('"') != std::string::npos) {
        line += " \"" + Unquote(statement, pos) + "\"";
        pos = statement.find(',', pos) + 1;
      }
      std::vector<std::string> fields;
      std::istringstream rest(statement.substr(pos));
      std::string field;
      while (std::getline(rest, field, ',')) fields.push_back(Trim(field));
      if (fields.size() < 5) {
        controls.push_back("?" + statement);
        continue;
      }
      line += " " + Id(fields[0]) + " " + fields[1] + "," + fields[2] + "," + fields[3] + "," +
              fields[4];
      if (fields.size() > 5) {
        std::string styles = fields[5];
        styles.erase(std::remove(styles.begin(), styles.end(), ' '), styles.end());
        line += " " + styles;
      }
      controls.push_back(line);
    }
    return controls;
  }

  std::string Id(const std::string& name) const {
    auto found = m_ids.find(Trim(name));
    return found != m_ids.end() ? std::to_string(found->second) : "?" + name;
  }

  std::vector<std::string> m_statements;
  std::map<std::string, int> m_ids;
};

TEST_F(ResourceTest, MenuHasEveryItemInOrderWithItsId) {
  std::vector<std::string> items;
  std::string indent;
  for (const std::string& statement : Block("IDR_MAINMENU MENU")) {
    size_t pos = 0;
    if (statement == "BEGIN") {
      indent += "  ";
    } else if (statement == "END") {
      indent.resize(indent.size() - 2);
    } else if (statement.compare(0, 5, "POPUP") == 0) {
      items.push_back(indent + "[" + Unquote(statement, pos) + "]");
    } else if (statement == "MENUITEM SEPARATOR") {
      items.push_back(indent + "-");
    } else if (statement.compare(0, 8, "MENUITEM") == 0) {
      const std::string text = Unquote(statement, pos);
      items.push_back(indent + "\"" + text + "\" " + Id(statement.substr(statement.find(',', pos) + 1)));
    }
  }
  const std::vector<std::string> expected = {
      "  [&File]",
      "    \"&View as HTML\" 32789",
      "    -",
      "    \"&Save\" 57603",
      "    \"Save &As Text \" 32791",
      "    \"Save I/O &Trace...\" 32810",
      "    -",
      "    \"E&xit\" 32792",
      "  [&Edit]",
      "    \"&Clear\" 57632",
      "    \"&Get Physical Address\" 32806",
      "  [&Diagnose]",
      "    \"&All\" 32793",
      "    [&Layer]",
      "      \"OS Layer\" 32795",
      "      \"SW Layer\" 32796",
      "      \"GPIB Layer\" 32797",
      "      \"Instr. Layer\" 32798",
      "      \"Optical Layer\" 32799",
      "    -",
      "    \"&Triggers\" 32800",
      "    \"&Guided Optical Test\" 32801",
      "    \"&VISA Libraries\" 32811",
      "    -",
      "    \"&Instrument I/O...\" 32812",
      "  \"&About\" 32802",
  };
  EXPECT_EQ(items, expected);
}

TEST_F(ResourceTest, MainDialogTemplate) {
  const std::vector<std::string> block = Block("IDD_BENCHSENTRY_DIALOG DIALOGEX");
  ASSERT_GE(block.size(), 8u);
  EXPECT_EQ(block[0], "IDD_BENCHSENTRY_DIALOG DIALOGEX 0, 0, 320, 170");
  EXPECT_EQ(Id("IDD_BENCHSENTRY_DIALOG"), "102");
  std::map<std::string, std::string> options;
  for (size_t i = 1; i < block.size() && block[i] != "BEGIN"; ++i) {
    const size_t blank = block[i].find(' ');
    options[block[i].substr(0, blank)] = block[i].substr(blank + 1);
  }
  EXPECT_EQ(options["CAPTION"], "\"benchsentry\"");
  EXPECT_EQ(options["MENU"], "IDR_MAINMENU");
  EXPECT_EQ(Id("IDR_MAINMENU"), "129");
  EXPECT_EQ(options["FONT"], "8, \"MS Sans Serif\"");
  EXPECT_EQ(options["EXSTYLE"], "WS_EX_APPWINDOW");
  for (const char* style : {"WS_POPUP", "WS_VISIBLE", "WS_CAPTION", "WS_SYSMENU",
                            "WS_MINIMIZEBOX", "WS_MAXIMIZEBOX", "DS_MODALFRAME"}) {
    EXPECT_NE(options["STYLE"].find(style), std::string::npos) << style;
  }
  EXPECT_EQ(options["STYLE"].find("WS_THICKFRAME"), std::string::npos);

  std::vector<std::string> controls(std::find(block.begin(), block.end(), "BEGIN") + 1,
                                    block.end() - 1);
  ASSERT_EQ(controls.size(), 1u);
  const std::string& edit = controls[0];
  EXPECT_EQ(edit.compare(0, 36, "EDITTEXT IDC_REPORT, 0, 0, 320, 170,"), 0) << edit;
  EXPECT_EQ(Id("IDC_REPORT"), "1000");
  for (const char* style : {"ES_MULTILINE", "ES_AUTOVSCROLL", "ES_AUTOHSCROLL", "ES_READONLY",
                            "ES_WANTRETURN", "WS_VSCROLL", "WS_HSCROLL"}) {
    EXPECT_NE(edit.find(style), std::string::npos) << style;
  }
}

TEST_F(ResourceTest, AboutDialogTemplate) {
  const std::vector<std::string> block = Block("IDD_ABOUTBOX DIALOG");
  ASSERT_GE(block.size(), 9u);
  EXPECT_EQ(block[0], "IDD_ABOUTBOX DIALOG 0, 0, 239, 55");
  EXPECT_EQ(Id("IDD_ABOUTBOX"), "100");
  EXPECT_EQ(block[1], "STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU");
  EXPECT_EQ(block[2], "CAPTION \"about\"");
  EXPECT_EQ(block[3], "FONT 8, \"MS Sans Serif\"");
  EXPECT_EQ(block[5], "ICON IDR_MAINFRAME, IDC_STATIC, 11, 17, 20, 20");
  EXPECT_EQ(Id("IDR_MAINFRAME"), "128");
  EXPECT_EQ(block[6],
            "LTEXT \"Diagnostic Tool Version 1.0\", IDC_STATIC, 40, 10, 119, 8, SS_NOPREFIX");
  EXPECT_NE(block[7].find("IDC_STATIC, 40, 25, 192, 17"), std::string::npos);
  size_t pos = 0;
  const std::string second = Unquote(block[7], pos);
  EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 1) << second;
  EXPECT_EQ(block[8], "DEFPUSHBUTTON \"OK\", IDOK, 182, 7, 50, 14, WS_GROUP");
}

TEST_F(ResourceTest, DialogTemplatesOfTheGuidedAndTriggerTests) {
  struct Case {
    const char* header;
    const char* firstLine;
    const char* idName;
    const char* id;
    const char* caption;
    std::vector<std::string> controls;
  };
  const char* combo = "CBS_DROPDOWNLIST|CBS_SORT|WS_VSCROLL|WS_TABSTOP";
  const Case cases[] = {
      {"IDD_GUIDED_TEST DIALOG", "IDD_GUIDED_TEST DIALOG 0, 0, 319, 183", "IDD_GUIDED_TEST",
       "130", "\"Please select\"",
       {
           "DEFPUSHBUTTON \"Measure\" 1 205,140,101,14",
           "PUSHBUTTON \"Exit\" 2 254,164,60,14",
           std::string("COMBOBOX 1006 11,28,118,78 ") + combo,
           std::string("COMBOBOX 1008 11,54,92,65 ") + combo,
           std::string("COMBOBOX 1010 110,54,24,51 ") + combo,
           "COMBOBOX 1013 11,97,124,72 CBS_DROPDOWN|CBS_SORT|WS_VSCROLL|WS_TABSTOP",
           std::string("COMBOBOX 1009 11,123,93,56 ") + combo,
           std::string("COMBOBOX 1012 107,123,54,63 ") + combo,
           "PUSHBUTTON \"Off\" 1001 11,150,149,13",
           "EDITTEXT 1011 206,118,101,14 ES_AUTOHSCROLL|ES_READONLY",
           "EDITTEXT 1000 178,7,136,97 "
           "ES_MULTILINE|ES_AUTOVSCROLL|ES_AUTOHSCROLL|ES_READONLY|ES_WANTRETURN",
           "LTEXT \"mainframe, GPIB address\" -1 11,17,97,8",
           "LTEXT \"SLOT\" -1 11,44,69,8",
           "LTEXT \"Channel\" -1 107,44,27,8",
           "LTEXT \"mainframe, GPIB address\" -1 11,86,80,8",
           "LTEXT \"SLOT\" -1 11,113,93,8",
           "LTEXT \"Optical output\" -1 107,113,46,8",
           "LTEXT \"Laser state\" -1 11,138,62,8",
           "LTEXT \"result:\" -1 182,121,20,8",
           "GROUPBOX \"Power meter\" -1 4,7,164,64",
           "GROUPBOX \"Tunable Laser Source\" -1 4,75,164,92",
           "GROUPBOX \"Measurement\" -1 177,107,137,53",
       }},
      {"IDD_TLS_SELECT DIALOG", "IDD_TLS_SELECT DIALOG 0, 0, 319, 63", "IDD_TLS_SELECT", "132",
       "\"Please choose a TLS to generate the triggers\"",
       {
           "DEFPUSHBUTTON \"OK\" 1 7,42,50,14 WS_TABSTOP",
           "PUSHBUTTON \"Cancel\" 2 261,42,50,14 WS_TABSTOP",
           "COMBOBOX 1006 7,7,304,49 "
           "CBS_DROPDOWNLIST|CBS_AUTOHSCROLL|CBS_SORT|WS_VSCROLL|WS_TABSTOP",
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    const std::vector<std::string> block = Block(c.header);
    ASSERT_GE(block.size(), 5u);
    EXPECT_EQ(block[0], c.firstLine);
    EXPECT_EQ(Id(c.idName), c.id);
    EXPECT_EQ(block[1], "STYLE DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU");
    EXPECT_EQ(block[2], std::string("CAPTION ") + c.caption);
    EXPECT_EQ(block[3], "FONT 8, \"MS Sans Serif\"");
    EXPECT_EQ(Controls(c.header), c.controls);
  }
}

TEST_F(ResourceTest, AboutMenuStringIsInCodePage1252) {
  const std::vector<std::string> block = Block("STRINGTABLE");
  ASSERT_EQ(block.size(), 4u);
  EXPECT_EQ(block[2].compare(0, 12, "IDS_ABOUTBOX"), 0);
  EXPECT_EQ(Id("IDS_ABOUTBOX"), "101");
  size_t pos = 0;
  EXPECT_EQ(Unquote(block[2], pos), "Inf&o \xFC" "ber benchsentry...");
  EXPECT_NE(std::find(m_statements.begin(), m_statements.end(), "#pragma code_page(1252)"),
            m_statements.end());
}

TEST_F(ResourceTest, VersionTexts) {
  std::map<std::string, std::string> values;
  for (const std::string& statement : Block("VS_VERSION_INFO VERSIONINFO")) {
    if (statement.compare(0, 5, "VALUE") != 0) continue;
    size_t pos = 0;
    const std::string name = Unquote(statement, pos);
    values[name] = statement.find('"', pos) != std::string::npos ? Unquote(statement, pos)
                                                                 : Trim(statement.substr(pos + 1));
  }
  EXPECT_EQ(values["CompanyName"], "Velmora Technologies");
  EXPECT_EQ(values["ProductVersion"], "1.0");
  EXPECT_EQ(values["FileVersion"], "1.0.0.0");
  EXPECT_EQ(values["ProductName"], "benchsentry");
  EXPECT_EQ(values["FileDescription"], "Diagnostic Tool");
  const std::vector<std::string> block = Block("VS_VERSION_INFO VERSIONINFO");
  EXPECT_NE(std::find(block.begin(), block.end(), "FILEVERSION 1,0,0,0"), block.end());
}

TEST_F(ResourceTest, ManifestAsksForVisualStylesAndKnowsCurrentWindows) {
  const std::string manifest = ReadSource("benchsentry.manifest");
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  // Windows 10 and 11 share one entry.
  EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
  EXPECT_NE(std::find(m_statements.begin(), m_statements.end(),
                      "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"benchsentry.manifest\""),
            m_statements.end());
}

}  // namespace
