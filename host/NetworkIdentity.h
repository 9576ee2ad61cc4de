#pragma once
// The host's identity on the network: NetBIOS adapter addresses and the IP
// address under which the computer's own name resolves.
#include <string>

// One line per LANA that answered the adapter-status command. 1 when the
// enumeration listed at least one LANA, 0 when it listed none.
int GetAdapterAddresses(std::string& text);

// 1 with the dotted address in text; 0 on failure, with the WinSock failure
// text in text when start-up failed, else an empty text.
int GetIpAddress(std::string& text);

extern const char kWinSockFailureText[];  // "could not find a usable WinSock DLL\r\n<br>"
