#pragma once
// Scriptable NetBIOS adapters and WinSock 1.0.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Network.h"

using MacAddress = std::array<uint8_t, 6>;

class FakeNetwork : public INetwork {
 public:
  struct Command {
    uint8_t command;
    uint8_t lana;
    uint16_t length;
    std::string callname;
  };

  // LANAs are enumerated in the order added; a failing one answers the status
  // command with an error.
  void AddLana(uint8_t lana, const MacAddress& address, bool answers = true);
  void FailEnumeration(bool fail) { m_enumFails = fail; }

  void SetStartupResult(int32_t result) { m_startupResult = result; }
  void SetGrantedVersion(uint16_t version) { m_granted = version; }
  void AddHost(const std::string& name, std::vector<Ipv4Address> addresses);

  const std::vector<Command>& Commands() const { return m_commands; }
  const std::vector<uint16_t>& StartupRequests() const { return m_startupRequests; }
  int Cleanups() const { return m_cleanups; }
  const std::vector<std::string>& Lookups() const { return m_lookups; }
  // WinSock started and not yet cleaned up.
  int ActiveStartups() const { return m_active; }

  uint8_t Netbios(NcbRecord& ncb) override;
  int32_t WSAStartup(uint16_t requested, uint16_t* granted) override;
  int32_t WSACleanup() override;
  void WSASetLastError(int32_t error) override { m_lastError = error; }
  int32_t WSAGetLastError() override { return m_lastError; }
  bool gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) override;
  std::string inet_ntoa(const Ipv4Address& address) override;

  static constexpr uint8_t kNrcBufferTooSmall = 0x01;
  static constexpr uint8_t kNrcIllegalCommand = 0x03;
  static constexpr uint8_t kNrcBadLana = 0x23;
  static constexpr int32_t kHostNotFound = 11001;

 private:
  struct Lana {
    uint8_t number;
    MacAddress address;
    bool answers;
  };
  const Lana* FindLana(uint8_t number) const;

  std::vector<Lana> m_lanas;
  bool m_enumFails = false;
  int32_t m_startupResult = 0;
  uint16_t m_granted = 0x0001;
  std::map<std::string, std::vector<Ipv4Address>> m_hosts;  // names lower-cased
  std::vector<Command> m_commands;
  std::vector<uint16_t> m_startupRequests;
  std::vector<std::string> m_lookups;
  int m_cleanups = 0;
  int m_active = 0;
  int32_t m_lastError = 0;
};
