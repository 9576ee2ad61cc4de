#include "host/NetworkIdentity.h"

#include "host/OsLayerCheck.h"
#include "tests/unit/host/HostTestSupport.h"

namespace {

const MacAddress kCard = {0x00, 0xA0, 0xC9, 0x12, 0x34, 0x56};
const MacAddress kDialUp = {0x44, 0x45, 0x53, 0x54, 0x00, 0x00};

using NetworkIdentityTest = HostTest;

TEST_F(NetworkIdentityTest, OneAdapterWithTheExactControlBlocks) {
  network.AddLana(0, kCard);
  std::string text;
  EXPECT_EQ(1, GetAdapterAddresses(text));
  EXPECT_EQ("on LANA 0 is:  00a0c9123456\r\n<br>", text);

  const auto& commands = network.Commands();
  ASSERT_EQ(3u, commands.size());
  EXPECT_EQ(kNcbEnum, commands[0].command);
  EXPECT_EQ(256, commands[0].length);
  EXPECT_EQ(kNcbReset, commands[1].command);
  EXPECT_EQ(0, commands[1].lana);
  EXPECT_EQ(std::string(16, '\0'), commands[1].callname);
  EXPECT_EQ(kNcbAstat, commands[2].command);
  EXPECT_EQ(0, commands[2].lana);
  EXPECT_EQ(600, commands[2].length);
  EXPECT_EQ("*" + std::string(15, ' '), commands[2].callname);
}

TEST_F(NetworkIdentityTest, SeveralLanasInEnumerationOrderSkippingFailures) {
  network.AddLana(3, kDialUp);
  network.AddLana(0, kCard, false);
  network.AddLana(11, kCard);
  std::string text;
  EXPECT_EQ(1, GetAdapterAddresses(text));
  EXPECT_EQ("on LANA 3 is:  444553540000\r\n<br>on LANA 11 is:  00a0c9123456\r\n<br>", text);
  // Each LANA is reset before its status is asked, in enumeration order.
  std::vector<std::pair<uint8_t, uint8_t>> order;
  for (const auto& command : network.Commands()) order.emplace_back(command.command, command.lana);
  EXPECT_EQ((std::vector<std::pair<uint8_t, uint8_t>>{{kNcbEnum, 0},
                                                      {kNcbReset, 3},
                                                      {kNcbAstat, 3},
                                                      {kNcbReset, 0},
                                                      {kNcbAstat, 0},
                                                      {kNcbReset, 11},
                                                      {kNcbAstat, 11}}),
            order);
}

TEST_F(NetworkIdentityTest, NoLanaAndFailedEnumerationGiveZero) {
  std::string text = "stale";
  EXPECT_EQ(0, GetAdapterAddresses(text));
  EXPECT_EQ("", text);

  network.AddLana(0, kCard);
  network.FailEnumeration(true);
  EXPECT_EQ(0, GetAdapterAddresses(text));
  EXPECT_EQ("", text);
  EXPECT_EQ(2u, network.Commands().size());  // one enumeration each, nothing else
}

TEST_F(NetworkIdentityTest, LanasThatAllFailStillCountAsListed) {
  network.AddLana(0, kCard, false);
  network.AddLana(1, kCard, false);
  std::string text;
  EXPECT_EQ(1, GetAdapterAddresses(text));
  EXPECT_EQ("", text);
}

TEST_F(NetworkIdentityTest, IpAddressIsTheFirstOfTheHostsAddresses) {
  system.SetComputerName("BENCHPC");
  network.AddHost("benchpc", {{192, 168, 1, 20}, {10, 0, 0, 5}});
  std::string text;
  EXPECT_EQ(1, GetIpAddress(text));
  EXPECT_EQ("192.168.1.20", text);
  EXPECT_EQ(std::vector<uint16_t>{0x0001}, network.StartupRequests());
  EXPECT_EQ(std::vector<std::string>{"BENCHPC"}, network.Lookups());
  EXPECT_EQ(0, network.ActiveStartups());
}

TEST_F(NetworkIdentityTest, WinSockFailuresGiveTheWinSockText) {
  std::string text;
  network.SetStartupResult(10091);
  EXPECT_EQ(0, GetIpAddress(text));
  EXPECT_EQ("could not find a usable WinSock DLL\r\n<br>", text);

  for (uint16_t granted : {uint16_t{0x0202}, uint16_t{0x0101}, uint16_t{0x0002}}) {
    FakeNetwork other;
    other.SetGrantedVersion(granted);
    Platform platform = GetPlatform();
    platform.network = &other;
    SetPlatform(platform);
    EXPECT_EQ(0, GetIpAddress(text)) << granted;
    EXPECT_EQ("could not find a usable WinSock DLL\r\n<br>", text);
    EXPECT_EQ(1, other.Cleanups());
    EXPECT_TRUE(other.Lookups().empty());
    platform.network = &network;
    SetPlatform(platform);
  }
}

TEST_F(NetworkIdentityTest, NameFailuresSaySoWithTheWinSockError) {
  struct Case {
    bool nameFails;
    const char* name;
    const char* window;  // after ReportIpAddress
    std::vector<std::string> lookups;
  } cases[] = {
      {true, "BENCHPC",
       "######IP address could not be determined: the computer name cannot be read\r\n", {}},
      {false, "NOWHERE",
       "######IP address could not be determined: the computer name does not resolve (WinSock "
       "error 11001)\r\n",
       {"NOWHERE"}},
      {false, "V6ONLY",
       "######IP address could not be determined: the computer name resolves to no IPv4 address\r\n",
       {"V6ONLY"}},
  };
  network.AddHost("V6ONLY", {});
  for (const Case& c : cases) {
    const size_t lookupsBefore = network.Lookups().size();
    system.FailComputerName(c.nameFails);
    system.SetComputerName(c.name);
    report.Window().Clear();
    COsLayerCheck check;
    Attach(check);
    check.ReportIpAddress();
    check.Flush();
    // The text ends its line: the memory lines that follow start their own.
    EXPECT_EQ(c.window, Window()) << c.name;
    EXPECT_EQ(c.lookups, std::vector<std::string>(network.Lookups().begin() + lookupsBefore,
                                                  network.Lookups().end()))
        << c.name;
    EXPECT_EQ(0, network.ActiveStartups()) << c.name;
  }
  std::string text;
  system.FailComputerName(true);
  EXPECT_EQ(0, GetIpAddress(text));
  EXPECT_EQ(std::string(kComputerNameFailureText), text);

  // A fifteen-character name is the longest the 16-character buffer takes.
  system.FailComputerName(false);
  system.SetComputerName("ABCDEFGHIJKLMNO");
  network.AddHost("ABCDEFGHIJKLMNO", {{10, 1, 2, 3}});
  EXPECT_EQ(1, GetIpAddress(text));
  EXPECT_EQ("10.1.2.3", text);
}

TEST_F(NetworkIdentityTest, ReportsWithTheirTexts) {
  network.AddLana(0, kCard);
  network.AddLana(11, kDialUp);
  system.SetComputerName("BENCHPC");
  network.AddHost("BENCHPC", {{192, 168, 1, 20}});
  COsLayerCheck check;
  Attach(check);
  check.ReportAdapterAddress();
  check.ReportIpAddress();
  check.Flush();
  EXPECT_EQ(
      "The Ethernet Number:\r\non LANA 0 is:  00a0c9123456\r\non LANA 11 is:  444553540000\r\n"
      "IP address: 192.168.1.20\r\n",
      Window());
  EXPECT_EQ(
      "The Ethernet Number:\r\n<br><i><font color=#900090>on LANA 0 is:  00a0c9123456\r\n<br>"
      "on LANA 11 is:  444553540000\r\n<br></font></i>"
      "IP address: <i><font color=#900090>192.168.1.20</font></i>\r\n<br>",
      Document());
}

TEST_F(NetworkIdentityTest, ReportsOfFailures) {
  network.SetStartupResult(10091);
  COsLayerCheck check;
  Attach(check);
  check.ReportAdapterAddress();
  check.ReportIpAddress();
  check.Flush();
  EXPECT_EQ("######Could not retrieve Mac address\r\n######could not find a usable WinSock DLL\r\n",
            Window());
  EXPECT_EQ(
      "<b><font color=#ff0000>Could not retrieve Mac address\r\n<br></font></b>"
      "<b><font color=#ff0000>could not find a usable WinSock DLL\r\n<br></font></b>",
      Document());
}

TEST_F(NetworkIdentityTest, ReportOfLanasThatDoNotAnswerIsTheHeadingAlone) {
  network.AddLana(0, kCard, false);
  COsLayerCheck check;
  Attach(check);
  check.ReportAdapterAddress();
  check.Flush();
  EXPECT_EQ("The Ethernet Number:\r\n", Window());
}

}  // namespace
