#include <winsock.h>
#include <windows.h>
#include <nb30.h>

#include <cstring>

#include "platform/win32/Win32Platform.h"

namespace {

class CWin32Network : public INetwork {
 public:
  uint8_t Netbios(NcbRecord& record) override {
    NCB ncb = {};
    ncb.ncb_command = record.command;
    ncb.ncb_buffer = record.buffer;
    ncb.ncb_length = record.length;
    std::memcpy(ncb.ncb_callname, record.callname, sizeof(ncb.ncb_callname));
    ncb.ncb_lana_num = record.lanaNum;
    UCHAR code = ::Netbios(&ncb);
    record.retcode = ncb.ncb_retcode;
    return code;
  }

  int32_t WSAStartup(uint16_t requested, uint16_t* granted) override {
    WSADATA data = {};
    int status = ::WSAStartup(requested, &data);
    if (status == 0 && granted != nullptr) *granted = data.wVersion;
    return status;
  }

  int32_t WSACleanup() override { return ::WSACleanup(); }
  void WSASetLastError(int32_t error) override { ::WSASetLastError(error); }
  int32_t WSAGetLastError() override { return ::WSAGetLastError(); }

  bool gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) override {
    addresses.clear();
    const hostent* host = ::gethostbyname(name);
    if (host == nullptr) return false;
    if (host->h_addrtype == AF_INET && host->h_length == 4) {
      for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
        Ipv4Address address;
        std::memcpy(address.data(), *entry, address.size());
        addresses.push_back(address);
      }
    }
    return true;
  }

  std::string inet_ntoa(const Ipv4Address& address) override {
    in_addr value = {};
    std::memcpy(&value, address.data(), address.size());
    const char* text = ::inet_ntoa(value);
    return text != nullptr ? text : "";
  }
};

}  // namespace

INetwork& Win32Network() {
  static CWin32Network network;
  return network;
}
