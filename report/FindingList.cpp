#include "report/FindingList.h"

#include <cstring>

namespace {

// The JSON key of a C++ name: "new_" is "new".
template <size_t N>
struct CKeyText {
  char text[N] = {};
  constexpr explicit CKeyText(const char (&name)[N]) {
    for (size_t i = 0; i + 1 < N; ++i) text[i] = name[i];
    if (N > 1 && text[N - 2] == '_') text[N - 2] = '\0';
  }
};

}  // namespace

const CFindingRecord kNoneRecord = {"None", "", nullptr, 0, ""};

namespace Finding {
#define BS_FINDING_FIELD(key, type, of, presence, compare, change, words, description)                    \
  constexpr CKeyText<sizeof(#key)> key##Text(#key);                                                     \
  const CFindingField key = {key##Text.text,          FindingType::type, &k##of##Record,                \
                             FindingPresence::presence, FindingCompare::compare, change, words, description};
#define BS_FINDING_ADDRESS(key, type, of, presence, compare, change, words, description) &key,
#define BS_FINDING_NAMESPACE(record, list, item, description) \
  namespace record {                                          \
  list(BS_FINDING_FIELD)                                      \
  const CFindingField* const kFields[] = {list(BS_FINDING_ADDRESS)}; \
  }
BS_FINDING_RECORDS(BS_FINDING_NAMESPACE)
#undef BS_FINDING_NAMESPACE
#undef BS_FINDING_ADDRESS
#undef BS_FINDING_FIELD
}  // namespace Finding

#define BS_FINDING_RECORD_OBJECT(record, list, item, description)                       \
  const CFindingRecord k##record##Record = {#record, item, Finding::record::kFields,     \
                                            sizeof(Finding::record::kFields) /            \
                                                sizeof(Finding::record::kFields[0]),      \
                                            description};
BS_FINDING_RECORDS(BS_FINDING_RECORD_OBJECT)
#undef BS_FINDING_RECORD_OBJECT

const CFindingField* FindField(const CFindingRecord& record, const char* key) {
  for (size_t i = 0; i < record.count; ++i) {
    if (std::strcmp(record.fields[i]->key, key) == 0) return record.fields[i];
  }
  return nullptr;
}
