#pragma once
// The host's identity on the network: NetBIOS adapter addresses and the IP
// address under which the computer's own name resolves.
#include <string>

// One line per LANA that answered the adapter-status command. 1 when the
// enumeration listed at least one LANA, 0 when it listed none.
int GetAdapterAddresses(std::string& text);

// 1 with the dotted address in text; 0 on failure, with an error text in
// text: the WinSock failure text when start-up failed, else why the address
// could not be determined (with the WinSock error number where WinSock gave one).
int GetIpAddress(std::string& text);

extern const char kWinSockFailureText[];  // "could not find a usable WinSock DLL\r\n<br>"
extern const char kComputerNameFailureText[];
