#pragma once
// NetBIOS and WinSock 1.0.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t kNcbEnum = 0x37;
constexpr uint8_t kNcbReset = 0x32;
constexpr uint8_t kNcbAstat = 0x33;

// The fields of the platform's NCB that the system sets or reads.
struct NcbRecord {
  uint8_t command = 0;
  uint8_t retcode = 0;
  uint8_t* buffer = nullptr;
  uint16_t length = 0;
  char callname[16] = {};
  uint8_t lanaNum = 0;
};

using Ipv4Address = std::array<uint8_t, 4>;  // in network order

class INetwork {
 public:
  virtual ~INetwork() = default;
  // Submits the control block; returns its return code (0 success).
  virtual uint8_t Netbios(NcbRecord& ncb) = 0;
  // Returns 0 on success with the granted version (low byte major, high byte minor).
  virtual int32_t WSAStartup(uint16_t requested, uint16_t* granted) = 0;
  virtual int32_t WSACleanup() = 0;
  virtual void WSASetLastError(int32_t error) = 0;
  virtual int32_t WSAGetLastError() = 0;
  // The host record's address list, in its order; false when no record comes back.
  virtual bool gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) = 0;
  virtual std::string inet_ntoa(const Ipv4Address& address) = 0;
};
