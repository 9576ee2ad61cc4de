// Items of a driver's list: the index, the separator and the caller's buffer
// size from the input's head, the list from its rest.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

#include "instrument/ListItem.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int index = input.ConsumeIntegral<int>();
  const char separator = input.ConsumeIntegral<char>();
  const size_t bufferSize = input.ConsumeIntegralInRange<size_t>(0, 64);
  const std::string list = input.ConsumeRemainingBytesAsString();

  std::string whole;
  const int empty = GetListItem(index, list.c_str(), separator, whole);
  FuzzExpect(empty == (whole.empty() ? 1 : 0), "1 for an empty item");
  FuzzExpect(whole.find(separator) == std::string::npos, "an item holds no separator", whole);
  // Exactly the caller's size on the heap: a write past it is a finding.
  std::vector<char> buffer(bufferSize, 'x');
  GetListItem(index, list.c_str(), separator, buffer.data(), buffer.size());
  if (bufferSize > 0) {
    FuzzExpect(std::string(buffer.data()) == whole.substr(0, bufferSize - 1), "the item cut to the buffer");
  }
  return 0;
}
