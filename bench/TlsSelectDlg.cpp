#include "bench/TlsSelectDlg.h"

#include <vector>

#include "bench/BenchResource.h"
#include "bench/TriggerCheck.h"
#include "instrument/ListItem.h"

CTlsSelectDlg::CTlsSelectDlg() : CDialog(IDD_TLS_SELECT) {}

int32_t CTlsSelectDlg::CountListItems(const char* text, int32_t limit) {
  if (text == nullptr) return 0;
  int32_t count = 0;
  for (int32_t i = 0; i < limit && text[i] != '\0'; ++i) {
    if (text[i] == ';') ++count;
  }
  return count;
}

bool CTlsSelectDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The check's own entries, whole: a ';' in a model or label would split the text.
  std::vector<std::string> entries;
  if (m_check != nullptr) entries = m_check->TlsEntries();
  if (entries.empty()) {
    const int32_t count = CountListItems(m_listText.c_str(), kTlsListTextLimit);
    for (int32_t i = 1; i <= count; ++i) {
      std::string item;
      GetListItem(i, m_listText.c_str(), ';', item);
      entries.push_back(item);
    }
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    // At its position, so the sorting combo keeps the list's order.
    ComboInsertString(IDC_TLS_LIST, static_cast<int32_t>(i), entries[i].c_str());
  }
  ComboSetCurSel(IDC_TLS_LIST, 0);
  return true;
}

void CTlsSelectDlg::OnOK() {
  const int32_t index = ComboGetCurSel(IDC_TLS_LIST);
  // The test runs to its end while the dialog is still on screen.
  if (m_check != nullptr) m_check->RunTriggerTest(index);
  CDialog::OnOK();
}
