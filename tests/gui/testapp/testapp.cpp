// A small dialog program with the shape of benchsentry's main window (report edit 1000,
// a menu, a modal dialog with combo boxes, a save dialog, a message box), so the GUI
// driver can be tested on its own.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <string>

namespace {

void Append(HWND dialog, const char* text) {
  HWND edit = GetDlgItem(dialog, 1000);
  SendMessageA(edit, EM_SETSEL, 32768, 32768);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      for (const char* item : {"alpha", "beta", "gamma"}) {
        SendDlgItemMessageA(dialog, 1006, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendDlgItemMessageA(dialog, 1008, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      }
      SendDlgItemMessageA(dialog, 1006, CB_SETCURSEL, 1, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wp));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

void Save(HWND dialog) {
  char path[MAX_PATH] = {};
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog;
  ofn.lpstrFilter = "Text file *.txt\0*.txt\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameA(&ofn)) {
    return;
  }
  char text[4096] = {};
  GetDlgItemTextA(dialog, 1000, text, sizeof text);
  if (FILE* out = std::fopen(path, "wb")) {
    std::fputs(text, out);
    std::fclose(out);
  }
}

INT_PTR CALLBACK MainProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, 1000, "intro\r\n");
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case 2001: Append(dialog, "line\r\n"); return TRUE;
        case 1001: SetDlgItemTextA(dialog, 1000, ""); return TRUE;
        case 2002: DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), dialog, OptionsProc, 0); return TRUE;
        case 2003: Save(dialog); return TRUE;
        case 2004: MessageBoxA(dialog, "first line\nsecond line", "a caption", MB_OK); return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(102), nullptr, MainProc, 0));
}
