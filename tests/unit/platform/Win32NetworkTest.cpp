#include <regex>

#include "host/NetworkIdentity.h"
#include "tests/unit/platform/Win32TestSupport.h"

namespace {

using Win32NetworkTest = Win32Test;

TEST_F(Win32NetworkTest, WinSockOneZeroIsGranted) {
  INetwork& network = Win32Network();
  uint16_t granted = 0;
  ASSERT_EQ(0, network.WSAStartup(0x0001, &granted));
  EXPECT_EQ(0x0001, granted);
  network.WSASetLastError(0);
  EXPECT_EQ(0, network.WSAGetLastError());
  network.WSASetLastError(11001);
  EXPECT_EQ(11001, network.WSAGetLastError());
  EXPECT_EQ(0, network.WSACleanup());
}

TEST_F(Win32NetworkTest, DottedAddressText) {
  EXPECT_EQ("192.168.1.20", Win32Network().inet_ntoa({192, 168, 1, 20}));
  EXPECT_EQ("10.0.0.255", Win32Network().inet_ntoa({10, 0, 0, 255}));
}

TEST_F(Win32NetworkTest, IpAddressIsDottedOrSaysWhyNot) {
  std::string text;
  int result = GetIpAddress(text);
  if (result == 1) {
    EXPECT_TRUE(std::regex_match(text, std::regex("[0-9]{1,3}(\\.[0-9]{1,3}){3}"))) << text;
  } else {
    // The name did not resolve here; WinSock itself is there and gave its error.
    EXPECT_TRUE(std::regex_match(text, std::regex("IP address could not be determined: .*\r\n<br>")))
        << text;
  }
}

TEST_F(Win32NetworkTest, AdapterLinesHaveTheirFormat) {
  std::string text;
  int result = GetAdapterAddresses(text);
  if (result == 0) {
    EXPECT_EQ("", text);
    return;
  }
  EXPECT_TRUE(std::regex_match(text, std::regex("(on LANA [0-9]+ is:  [0-9a-f]{12}\r\n<br>)*"))) << text;
}

TEST_F(Win32NetworkTest, EnumerationFillsTheCountByte) {
  uint8_t lanas[256] = {};
  lanas[0] = 0xEE;
  NcbRecord ncb;
  ncb.command = kNcbEnum;
  ncb.buffer = lanas;
  ncb.length = sizeof(lanas);
  if (Win32Network().Netbios(ncb) == 0) {
    EXPECT_EQ(0, ncb.retcode);
    EXPECT_LT(lanas[0], 255);
  } else {
    EXPECT_NE(0, ncb.retcode);
  }
}

}  // namespace
