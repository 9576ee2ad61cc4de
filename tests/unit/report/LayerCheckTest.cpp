#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/CallTrace.h"
#include "report/LayerCheck.h"
#include "tests/fakes/ReportFixture.h"

namespace {

class CNamedCheck : public CLayerCheck {
 public:
  explicit CNamedCheck(const char* name) { SetName(name); }
  void ForceState(int32_t task, int32_t error) {
    m_task = task;
    m_error = error;
  }
  int32_t WindowMode() const { return m_windowMode; }
  int32_t BufferMode() const { return m_bufferMode; }
  const ReportDocument* Buffer() const { return m_buffer; }
  void EndReport() { EndErrorReport(); }
};

std::string Plain(const std::string& markup) { return CLayerCheck::MarkupToText(markup); }

TEST(MarkupToText, DropsTagsAndKeepsEverythingElseInOrder) {
  EXPECT_EQ(Plain("Layer check, </b>"), "Layer check, ");
  EXPECT_EQ(Plain("<b><font color=#ff0000>x</font></b>"), "x");
  EXPECT_EQ(Plain("a<br>\r\nb"), "a\r\nb");
  EXPECT_EQ(Plain("<hr><br>\r\n"), "\r\n");
}

TEST(MarkupToText, LoneClosingBracketIsCopied) {
  EXPECT_EQ(Plain("a > b"), "a > b");
  EXPECT_EQ(Plain(">start"), ">start");
}

TEST(MarkupToText, UnclosedTagDropsTheRest) {
  EXPECT_EQ(Plain("keep <b dropped to the end"), "keep ");
  EXPECT_EQ(Plain("<"), "");
}

TEST(MarkupToText, AdjacentAndEmptyTags) {
  EXPECT_EQ(Plain("<b><i>x"), "x");
  EXPECT_EQ(Plain("<>y"), "y");
  EXPECT_EQ(Plain("a<>>b"), "a>b");
  EXPECT_EQ(Plain(""), "");
}

TEST(MarkupToText, FixedBufferFormMatchesStringForm) {
  const char source[] = "x<b>y</b>>z<";
  char destination[sizeof(source)];
  CLayerCheck::MarkupToText(source, destination);
  EXPECT_STREQ(destination, "xy>z");
}

TEST(Write, PlainWindowAndMarkupDocument) {
  ReportFixture report;
  CNamedCheck check("OS ");
  report.Attach(check);
  EXPECT_EQ(check.Write("Layer check, </b>"), 1);
  check.Flush();
  EXPECT_EQ(report.WindowText(), "Layer check, ");
  EXPECT_EQ(report.Document(), "Layer check, </b>");
}

TEST(Write, BothModesOffWritesNothing) {
  ReportFixture report;
  CNamedCheck check("OS ");
  EXPECT_EQ(check.Write("text"), 0);
  EXPECT_EQ(check.WriteError("text"), 0);
  EXPECT_EQ(check.WriteInfo("text"), 0);
  check.WriteOk("text");
  check.WritePlain("text");
  EXPECT_EQ(report.WindowText(), "");
  EXPECT_EQ(report.Document(), "");
}

TEST(Write, MarkupWindowAndPlainDocument) {
  FakeReportWindow window;
  std::string document;
  CNamedCheck check("OS ");
  check.AttachWindow(&window, kModeMarkup);
  check.AttachBuffer(&document, kModePlain);
  check.Write("<b>bold</b><br>\r\n");
  check.Flush();
  EXPECT_EQ(window.Text(), "<b>bold</b><br>\r\n");
  EXPECT_EQ(document, "bold\r\n");
}

TEST(Write, WindowGetsWhatWasWrittenInOneInsertAtEachFlush) {
  FakeReportWindow window;
  std::string document;
  {
    CNamedCheck check("OS ");
    check.AttachWindow(&window, kModePlain);
    check.AttachBuffer(&document, kModeMarkup);
    check.Write("<b>one</b>");
    check.WriteError("two");
    // The document has each text at once; the window waits for the flush.
    EXPECT_EQ(document, "<b>one</b><b><font color=#ff0000>two</font></b>");
    EXPECT_EQ(window.InsertCount(), 0);
    check.Flush();
    check.Flush();
    check.WriteExternal("<3>");
    check.Write("");
    // Another window: what was written goes to the one it was written for.
    FakeReportWindow other;
    check.AttachWindow(&other, kModeMarkup);
    check.Write("<i>x</i>");
    check.AttachWindow(nullptr, kModePlain);
    EXPECT_EQ(other.Inserts(), std::vector<std::string>{"<i>x</i>"});
    check.Write("dropped");
  }
  // The destructor flushes too; an empty flush inserts nothing.
  EXPECT_EQ(window.Inserts(), (std::vector<std::string>{"one######two", "<3>"}));
}

TEST(Write, LongTextIsWrittenWhole) {
  ReportFixture report;
  CNamedCheck check("OS ");
  report.Attach(check);
  std::string text;
  for (int i = 0; i < 300; ++i) text += "<b>ab</b>\r\n";  // far beyond 1023 characters
  text += "END";
  check.Write(text.c_str());
  EXPECT_EQ(report.Document(), text);
  std::string expected;
  for (int i = 0; i < 300; ++i) expected += "ab\r\n";
  expected += "END";
  check.Flush();
  EXPECT_EQ(report.WindowText(), expected);
}

TEST(Write, TextOfExactlyBufferLimits) {
  ReportFixture report;
  CNamedCheck check("OS ");
  report.Attach(check);
  const std::string limit(1023, 'x');
  const std::string over(1024, 'y');
  check.Write(limit.c_str());
  check.Write(over.c_str());
  check.Flush();
  EXPECT_EQ(report.WindowText(), limit + over);
}

TEST(ColourWriters, ErrorInDialogModes) {
  ReportFixture report;
  CNamedCheck check("GPIB ");
  report.Attach(check);
  check.WriteError("Could not find any resource on GPIB\r\n<br>");
  check.Flush();
  EXPECT_EQ(report.WindowText(), "######Could not find any resource on GPIB\r\n");
  EXPECT_EQ(report.Document(),
            "<b><font color=#ff0000>Could not find any resource on GPIB\r\n<br></font></b>");
  EXPECT_EQ(report.Window().InsertCount(), 1);  // head, marker, text and tail in one
}

TEST(ColourWriters, ErrorWithPlainDocumentCarriesMarker) {
  FakeReportWindow window;
  std::string document;
  CNamedCheck check("GPIB ");
  check.AttachWindow(&window, kModePlain);
  check.AttachBuffer(&document, kModePlain);
  check.WriteError("bad<br>\r\n");
  check.Flush();
  EXPECT_EQ(document, "######bad\r\n");
  EXPECT_EQ(window.Text(), "######bad\r\n");
}

// The lines a check writes as errors, kept as it writes them, with or without
// outputs: from where the error text starts on its line to the line's end,
// without the marker; the verdict banner is no error line.
TEST(ErrorLines, KeptAsTheyAreWritten) {
  static constexpr CLayerTexts kFailing = {"Failing", 1, kInvalidTaskText, kBannerEnd};
  struct CFailingCheck : CLayerCheck {
    CFailingCheck() : CLayerCheck(kFailing) {}
    int RunTask(int task) override {
      m_error = 5;
      WriteError("broken\r\n<br>");
      return task + 1;
    }
  };
  using Writes = std::function<void(CLayerCheck&)>;
  const std::pair<Writes, std::vector<std::string>> cases[] = {
      {[](CLayerCheck& c) {
         c.Write("before ");
         c.WriteErrorExternal("<z>.dll");
         c.WriteError(" is not accessible");
         c.Write(", trying C: ... <br>\r\nnext line\r\n");
       },
       {"<z>.dll is not accessible, trying C: ..."}},
      {[](CLayerCheck& c) {
         c.WriteOk("x.dll");
         c.WriteError("\r\n<br>File exists, but could not be loaded.\r\n<br>");
         c.Write("1 files found<br> \r\n");
       },
       {"File exists, but could not be loaded."}},
      {[](CLayerCheck& c) { c.WriteError("two<br>\r\nlines<br>\r\n"); }, {"two", "lines"}},
      {[](CLayerCheck& c) { c.WriteError("unended"); }, {"unended"}},
      {[](CLayerCheck& c) {
         c.WriteInfo("info<br>\r\n");
         c.WriteError(" <br>\r\n");
       },
       {}},
      {[](CLayerCheck& c) { ReportFixture().Run(c); }, {"broken"}},
  };
  for (const auto& [writes, lines] : cases) {
    for (bool attached : {true, false}) {
      ReportFixture report;
      CFailingCheck check;
      if (attached) report.Attach(check);
      writes(check);
      check.EndErrorLine();
      EXPECT_EQ(check.Findings().Errors(), lines) << attached;
    }
  }
}

TEST(ColourWriters, MarkerNeverReachesMarkupOutputs) {
  FakeReportWindow window;
  std::string document;
  CNamedCheck check("GPIB ");
  check.AttachWindow(&window, kModeMarkup);
  check.AttachBuffer(&document, kModeMarkup);
  check.WriteError("e");
  check.Flush();
  EXPECT_EQ(window.Text(), "<b><font color=#ff0000>e</font></b>");
  EXPECT_EQ(document, "<b><font color=#ff0000>e</font></b>");
}

TEST(ColourWriters, OkAndInfo) {
  ReportFixture report;
  CNamedCheck check("SW ");
  report.Attach(check);
  check.WriteOk("good");
  EXPECT_EQ(check.WriteInfo("note"), 1);
  check.Flush();
  EXPECT_EQ(report.WindowText(), "goodnote");
  EXPECT_EQ(report.Document(),
            "<b><font color=#009000>good</font></b><i><font color=#900090>note</font></i>");
}

TEST(ExternalText, VerbatimInWindowEscapedInDocument) {
  ReportFixture report;
  CNamedCheck check("SW ");
  report.Attach(check);
  check.WriteExternal("A<b>&C>");
  check.WriteInfoExternal("<Co & Sons>");
  check.WriteErrorExternal("x<y");
  check.Flush();
  EXPECT_EQ(report.WindowText(), "A<b>&C><Co & Sons>######x<y");
  EXPECT_EQ(report.Document(),
            "A&lt;b&gt;&amp;C&gt;<i><font color=#900090>&lt;Co &amp; Sons&gt;</font></i>"
            "<b><font color=#ff0000>x&lt;y</font></b>");
}

TEST(Write, MissingTextIsWrittenAsEmpty) {
  ReportFixture report;
  CNamedCheck check("OS ");
  report.Attach(check);
  EXPECT_EQ(check.Write(nullptr), 1);
  check.WritePlain(nullptr);
  EXPECT_EQ(check.WriteExternal(nullptr), 1);
  EXPECT_EQ(check.WriteError(nullptr), 1);
  EXPECT_EQ(check.WriteInfoExternal(nullptr), 1);
  check.Flush();
  EXPECT_EQ(report.WindowText(), "######");
  EXPECT_EQ(report.Document(),
            "<b><font color=#ff0000></font></b><i><font color=#900090></font></i>");
}

TEST(ExternalText, OffModesWriteNothing) {
  CNamedCheck check("SW ");
  EXPECT_EQ(check.WriteExternal("x"), 0);
}

TEST(Attach, NullWindowTurnsWindowOutputOff) {
  ReportFixture report;
  CNamedCheck check("OS ");
  report.Attach(check);
  EXPECT_EQ(check.AttachWindow(nullptr, kModeMarkup), 0);
  EXPECT_EQ(check.WindowMode(), kModeOff);
  check.Write("doc only");
  EXPECT_EQ(report.WindowText(), "");
  EXPECT_EQ(report.Document(), "doc only");
}

TEST(Attach, UnknownWindowModeKeepsPreviousMode) {
  FakeReportWindow first;
  FakeReportWindow second;
  CNamedCheck check("OS ");
  EXPECT_EQ(check.AttachWindow(&first, kModeMarkup), 1);
  EXPECT_EQ(check.AttachWindow(&second, 3), 1);
  EXPECT_EQ(check.WindowMode(), kModeMarkup);
  check.Write("<b>x");
  check.Flush();
  EXPECT_EQ(first.Text(), "");
  EXPECT_EQ(second.Text(), "<b>x");
}

TEST(Attach, UnknownDocumentModeChangesNothing) {
  std::string first;
  std::string second;
  CNamedCheck check("OS ");
  check.AttachBuffer(&first, kModeMarkup);
  check.AttachBuffer(&second, kModeOff);
  EXPECT_EQ(check.Buffer(), &first);
  EXPECT_EQ(check.BufferMode(), kModeMarkup);
  check.AttachBuffer(&second, 7);
  EXPECT_EQ(check.Buffer(), &first);
}

TEST(Attach, NewCheckWritesNowhere) {
  CNamedCheck check("OS ");
  EXPECT_EQ(check.WindowMode(), kModeOff);
  EXPECT_EQ(check.BufferMode(), kModeOff);
  EXPECT_EQ(check.Buffer(), nullptr);
}

TEST(Begin, HeaderBannerInBothOutputs) {
  ReportFixture report;
  CNamedCheck check("Instrument ");
  report.Attach(check);
  EXPECT_EQ(check.Begin(), 1);
  check.Flush();
  EXPECT_EQ(report.WindowText(), ReportFixture::PlainBanner("Instrument "));
  EXPECT_EQ(report.Document(),
            "**********************************************<br>\r\n<b>Instrument Layer check, </b>"
            "Friday, March 02, 2001, 14:05:09,   <br>\r\n"
            "**********************************************<br>\r\n");
}

TEST(Begin, ResetsTaskAndErrorWhateverCameBefore) {
  ReportFixture report;
  CNamedCheck check("OS ");
  report.Attach(check);
  check.ForceState(7, 1000);
  EXPECT_EQ(check.Begin(), 1);
  EXPECT_EQ(check.Task(), 1);
  EXPECT_EQ(check.Error(), 0);
}

TEST(Begin, FailedLocalTimeGivesEmptyTimestamp) {
  ReportFixture report;
  report.Clock().FailLocalTime(true);
  CNamedCheck check("OS ");
  report.Attach(check);
  check.Begin();
  check.Flush();
  EXPECT_EQ(report.WindowText(),
            "**********************************************\r\nOS Layer check,  \r\n"
            "**********************************************\r\n");
}

TEST(Timestamp, CLocaleFormatWithTwoTrailingBlanks) {
  ReportFixture report;
  CNamedCheck check("OS ");
  report.Attach(check);
  report.Clock().SetLocalTime(2026, 12, 8, 0, 59, 6);
  check.WriteTimestamp();
  report.Clock().SetLocalTime(1999, 1, 31, 23, 0, 0);
  check.WriteTimestamp();
  EXPECT_EQ(report.Document(),
            "Tuesday, December 08, 2026, 00:59:06,  Sunday, January 31, 1999, 23:00:00,  ");
}

TEST(Timestamp, NoClockGivesEmptyText) {
  ReportFixture report;
  Platform platform = GetPlatform();
  platform.clock = nullptr;
  SetPlatform(platform);
  CNamedCheck check("OS ");
  report.Attach(check);
  check.WriteTimestamp();
  EXPECT_EQ(report.Document(), "");
}

TEST(Step, BaseCheckFinishesAtFirstStep) {
  ReportFixture report;
  CNamedCheck check("OS ");
  EXPECT_EQ(report.Run(check), 1);
}

TEST(Name, LongestNameFillsTheField) {
  CNamedCheck check("Guided optical ");
  EXPECT_STREQ(check.Name(), "Guided optical ");
  CNamedCheck cut("a name that is far too long");
  EXPECT_EQ(std::string(cut.Name()).size(), 15u);
}

}  // namespace

// Each error line names the call behind it: F a call that failed, O one that
// did not, E an error line, W other text, R the end of an error report; the
// calls the lines name, in order (0: none).
TEST(ErrorCalls, EachErrorLineNamesTheCallThatFailedBeforeIt) {
  const struct {
    const char* events;
    std::vector<uint32_t> calls;
  } cases[] = {
      {"E", {0}},           {"OE", {0}},          {"FOE", {1}},         {"FEE", {1, 1}},
      {"FEWE", {1, 0}},     {"FEOE", {1, 0}},     {"FEFFE", {1, 3}},    {"FEWFRE", {1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.events);
    const CTraceSession session(nullptr);
    ReportFixture report;
    CNamedCheck check("GPIB ");
    report.Run(check);
    for (const char* event = c.events; *event != '\0'; ++event) {
      if (*event == 'E' || *event == 'W' || *event == 'R') {
        if (*event == 'E') check.WriteError("Driver Error : <br>\r\n");
        if (*event == 'W') check.Write("<br>\r\n");
        if (*event == 'R') check.EndReport();
        continue;
      }
      CTraceEntry call;
      call.sequence = CCallTrace::Take();
      call.result = *event == 'F' ? CallResult::Error : CallResult::Ok;
      CCallTrace::Record(call);
    }
    std::vector<uint32_t> calls;
    for (const CErrorCall& line : check.ErrorCalls()) {
      EXPECT_EQ(line.text, "Driver Error :");
      calls.push_back(line.call);
    }
    EXPECT_EQ(calls, c.calls);
  }
}
