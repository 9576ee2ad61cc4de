#include "tests/fakes/FakeNetwork.h"

#include <cstdio>
#include <cstring>

#include "tests/fakes/FakeText.h"

namespace {

constexpr uint16_t kAdapterStatusRecordSize = 60;

}  // namespace

void FakeNetwork::AddLana(uint8_t lana, const MacAddress& address, bool answers) {
  m_lanas.push_back(Lana{lana, address, answers});
}

void FakeNetwork::AddHost(const std::string& name, std::vector<Ipv4Address> addresses) {
  m_hosts[LowerAscii(name)] = std::move(addresses);
}

const FakeNetwork::Lana* FakeNetwork::FindLana(uint8_t number) const {
  for (const Lana& lana : m_lanas) {
    if (lana.number == number) return &lana;
  }
  return nullptr;
}

uint8_t FakeNetwork::Netbios(NcbRecord& ncb) {
  m_commands.push_back(
      Command{ncb.command, ncb.lanaNum, ncb.length, std::string(ncb.callname, sizeof(ncb.callname))});
  uint8_t code = 0;
  switch (ncb.command) {
    case kNcbEnum:
      if (m_enumFails) {
        code = kNrcIllegalCommand;
      } else if (ncb.buffer == nullptr || ncb.length < 1 + m_lanas.size()) {
        code = kNrcBufferTooSmall;
      } else {
        ncb.buffer[0] = static_cast<uint8_t>(m_lanas.size());
        for (size_t i = 0; i < m_lanas.size(); ++i) ncb.buffer[1 + i] = m_lanas[i].number;
      }
      break;
    case kNcbReset:
      code = FindLana(ncb.lanaNum) != nullptr ? 0 : kNrcBadLana;
      break;
    case kNcbAstat: {
      const Lana* lana = FindLana(ncb.lanaNum);
      if (lana == nullptr || !lana->answers || ncb.callname[0] != '*') {
        code = kNrcBadLana;
      } else if (ncb.buffer == nullptr || ncb.length < kAdapterStatusRecordSize) {
        code = kNrcBufferTooSmall;
      } else {
        std::memset(ncb.buffer, 0, ncb.length);
        std::memcpy(ncb.buffer, lana->address.data(), lana->address.size());
      }
      break;
    }
    default:
      code = kNrcIllegalCommand;
      break;
  }
  ncb.retcode = code;
  return code;
}

int32_t FakeNetwork::WSAStartup(uint16_t requested, uint16_t* granted) {
  m_startupRequests.push_back(requested);
  if (m_startupResult != 0) return m_startupResult;
  if (granted != nullptr) *granted = m_granted;
  ++m_active;
  return 0;
}

int32_t FakeNetwork::WSACleanup() {
  ++m_cleanups;
  if (m_active > 0) --m_active;
  return 0;
}

bool FakeNetwork::gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) {
  addresses.clear();
  m_lookups.emplace_back(name != nullptr ? name : "");
  auto found = name != nullptr ? m_hosts.find(LowerAscii(name)) : m_hosts.end();
  if (found == m_hosts.end()) {
    m_lastError = kHostNotFound;
    return false;
  }
  addresses = found->second;
  return true;
}

std::string FakeNetwork::inet_ntoa(const Ipv4Address& address) {
  char text[16] = {};
  std::snprintf(text, sizeof(text), "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
  return text;
}
