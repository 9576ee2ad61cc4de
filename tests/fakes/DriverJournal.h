#pragma once
// Every call of the simulated driver served by the fake library table, in
// order, with its plain arguments: kv740m_set_TLS_laserState(1,0,1). Texts
// passed in are quoted, output arguments show as *.
#include <string>
#include <vector>

std::vector<std::string>& DriverJournal();

// The journaling stand-in for the driver export of that name; null if none.
void* JournaledDriverFunction(const std::string& name);

// The entries whose name is one of names, in order (all of them when empty).
std::vector<std::string> DriverCalls(const std::vector<std::string>& names = {});
