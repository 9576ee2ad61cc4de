#include "host/NetworkIdentity.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/OsLayerCheck.h"
#include "platform/Platform.h"

const char kWinSockFailureText[] = "could not find a usable WinSock DLL\r\n<br>";
const char kComputerNameFailureText[] =
    "IP address could not be determined: the computer name cannot be read\r\n<br>";

namespace {

constexpr uint16_t kLanaEnumSize = 256;
constexpr uint16_t kAdapterStatusSize = 600;
constexpr uint16_t kWinSockVersion10 = 0x0001;
constexpr uint32_t kComputerNameSize = 16;

void SetAdapterStatusCallName(NcbRecord& ncb) {
  std::memset(ncb.callname, ' ', sizeof(ncb.callname));
  ncb.callname[0] = '*';
}

const char kNoIpv4AddressText[] =
    "IP address could not be determined: the computer name resolves to no IPv4 address\r\n<br>";

// An isolated bench PC without a hosts entry ends here; the number tells why.
std::string NameNotResolvedText(int32_t error) {
  return "IP address could not be determined: the computer name does not resolve (WinSock error " +
         std::to_string(error) + ")\r\n<br>";
}

}  // namespace

int GetAdapterAddresses(std::string& text) {
  text.clear();
  INetwork* network = GetPlatform().network;
  if (network == nullptr) return 0;

  uint8_t lanas[kLanaEnumSize] = {};
  NcbRecord ncb;
  ncb.command = kNcbEnum;
  ncb.buffer = lanas;
  ncb.length = kLanaEnumSize;
  if (network->Netbios(ncb) != 0) lanas[0] = 0;

  // Every LANA's status lands in the same buffer in turn.
  uint8_t status[kAdapterStatusSize] = {};
  const int count = lanas[0];
  for (int i = 0; i < count; ++i) {
    const uint8_t lana = lanas[1 + i];

    ncb = NcbRecord();
    ncb.command = kNcbReset;
    ncb.lanaNum = lana;
    network->Netbios(ncb);

    ncb = NcbRecord();
    ncb.command = kNcbAstat;
    ncb.lanaNum = lana;
    SetAdapterStatusCallName(ncb);
    ncb.buffer = status;
    ncb.length = kAdapterStatusSize;
    if (network->Netbios(ncb) != 0) continue;

    char line[64] = {};
    std::snprintf(line, sizeof(line), "on LANA %d is:  %02x%02x%02x%02x%02x%02x\r\n<br>",
                  static_cast<int>(lana), status[0], status[1], status[2], status[3], status[4],
                  status[5]);
    text += line;
  }
  return count > 0 ? 1 : 0;
}

int GetIpAddress(std::string& text) {
  text.clear();
  Platform& platform = GetPlatform();
  INetwork* network = platform.network;
  if (network == nullptr || platform.system == nullptr) {
    text = kWinSockFailureText;
    return 0;
  }

  uint16_t granted = 0;
  if (network->WSAStartup(kWinSockVersion10, &granted) != 0) {
    text = kWinSockFailureText;
    return 0;
  }
  if ((granted & 0xFF) != 1 || (granted >> 8) != 0) {
    text = kWinSockFailureText;
    network->WSACleanup();
    return 0;
  }

  char name[kComputerNameSize] = {};
  uint32_t size = kComputerNameSize;
  if (!platform.system->GetComputerName(name, &size)) {
    text = kComputerNameFailureText;
    network->WSACleanup();
    return 0;
  }
  name[kComputerNameSize - 1] = '\0';

  network->WSASetLastError(0);
  std::vector<Ipv4Address> addresses;
  if (!network->gethostbyname(name, addresses)) {
    text = NameNotResolvedText(network->WSAGetLastError());
    network->WSACleanup();
    return 0;
  }
  if (addresses.empty()) {
    text = kNoIpv4AddressText;
    network->WSACleanup();
    return 0;
  }
  text = network->inet_ntoa(addresses.front());
  network->WSACleanup();
  return 1;
}

void COsLayerCheck::ReportAdapterAddress() {
  std::string text;
  if (GetAdapterAddresses(text) == 1) {
    Write("The Ethernet Number:\r\n<br>");
    WriteInfo(text.c_str());
  } else {
    WriteError("Could not retrieve Mac address\r\n<br>");
  }
}

void COsLayerCheck::ReportIpAddress() {
  std::string text;
  if (GetIpAddress(text) == 1) {
    Write("IP address: ");
    WriteInfoExternal(text.c_str());
    Write("\r\n<br>");
  } else {
    WriteError(text.c_str());
  }
}
