// The main window on Win32: two path fields with Browse buttons, two options, Convert, Exit, status
// line.
#include "app/win32/convert_dlg.h"

#include <utility>

#include <vector>

#include "app/common/convert_command.h"
#include "app/win32/about_dlg.h"
#include "app/win32/file_picker.h"
#include "app/win32/long_message_box.h"
#include "res/dialog_templates.h"
#include "res/resource.h"

namespace kestrune {

namespace {

// The longest string 101 can be; the About item's text is far shorter.
constexpr int kMenuTextCapacity = 256;

int FieldId(PathField field) { return field == PathField::kInput ? IDC_INPUT_FILE : IDC_INI_FILE; }

}  // namespace

CConvertDlg::CConvertDlg(ProfileStore& settings, std::optional<std::string> input_file)
    : CModalDialog(IDD_CONVERT_DIALOG, kIDD_CONVERT_DIALOG),
      m_presenter(*this, settings),
      m_givenInputFile(std::move(input_file)),
      m_hIcon(LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

// The message map: the window menu, painting, the drag icon, dropped files, the three
// buttons and the end of the session.
bool CConvertDlg::OnMessage(UINT message, WPARAM wparam, LPARAM, INT_PTR* result) {
  switch (message) {
    case WM_SYSCOMMAND: return m_presenter.OnSystemCommand(static_cast<UINT>(wparam));
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: *result = reinterpret_cast<INT_PTR>(m_hIcon); return true;
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wparam));
    case WM_COMMAND: return HIWORD(wparam) == BN_CLICKED && OnCommand(LOWORD(wparam));
    case WM_ENDSESSION: return wparam && OnEndSession();
    default: return false;
  }
}

// A conversion runs deep in this window's stack, which cannot be unwound from here: its
// temporary files go and the program ends at once.
bool CConvertDlg::OnEndSession() {
  if (RemoveConvertTemporaries()) ExitProcess(0);
  return false;
}

bool CConvertDlg::OnCommand(UINT id) {
  switch (id) {
    case IDC_CONVERT: m_presenter.OnConvert(); return true;
    case IDC_BROWSE_INPUT: m_presenter.OnBrowse(PathField::kInput); return true;
    case IDC_BROWSE_INI: m_presenter.OnBrowse(PathField::kIni); return true;
    default: return false;
  }
}

BOOL CConvertDlg::OnInitDialog() {
  CModalDialog::OnInitDialog();
  AddAboutItem();
  ShortenLongStatusTexts();
  DragAcceptFiles(m_hWnd, TRUE);
  SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_presenter.OnStart(m_givenInputFile);
  return TRUE;
}

// A drop on the INI field names the INI file; anywhere else, the schematic.
bool CConvertDlg::OnDropFiles(HDROP drop) {
  POINT point{};
  DragQueryPoint(drop, &point);
  const HWND target = ChildWindowFromPoint(m_hWnd, point);
  const PathField field =
      target == GetDlgItem(m_hWnd, IDC_INI_FILE) ? PathField::kIni : PathField::kInput;
  std::vector<std::string> paths(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
  for (UINT index = 0; index < paths.size(); ++index) {
    paths[index].resize(DragQueryFileA(drop, index, nullptr, 0) + 1);
    paths[index].resize(
        DragQueryFileA(drop, index, &paths[index][0], static_cast<UINT>(paths[index].size())));
  }
  DragFinish(drop);
  m_presenter.OnFilesDropped(field, paths);
  return true;
}

// A long path in the status line is shortened in the middle, keeping the file's name, rather
// than cut or shortened at its end; an '&' in it shows as itself.
void CConvertDlg::ShortenLongStatusTexts() {
  const HWND status = GetDlgItem(m_hWnd, IDC_STATUS);
  SetWindowLongA(
      status, GWL_STYLE,
      (GetWindowLongA(status, GWL_STYLE) & ~SS_ELLIPSISMASK) | SS_PATHELLIPSIS | SS_NOPREFIX);
}

void CConvertDlg::AddAboutItem() {
  const HMENU menu = GetSystemMenu(m_hWnd, FALSE);
  if (menu == nullptr) return;
  char about[kMenuTextCapacity];
  if (LoadStringA(ResourceModule(), IDS_ABOUTBOX, about, sizeof about) == 0) return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
}

void CConvertDlg::OnOK() { m_presenter.OnExit(); }

void CConvertDlg::OnCancel() { m_presenter.OnCancel(); }

void CConvertDlg::ShowSettings(const DialogSettings& settings) {
  SetDlgItemTextA(m_hWnd, IDC_INPUT_FILE, settings.input_file.c_str());
  SetDlgItemTextA(m_hWnd, IDC_INI_FILE, settings.ini_file.c_str());
  CheckDlgButton(m_hWnd, IDC_BACKUP, settings.backups ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(m_hWnd, IDC_EMBEDDED, settings.embedded ? BST_CHECKED : BST_UNCHECKED);
}

DialogSettings CConvertDlg::ReadSettings() const {
  return DialogSettings{ControlText(IDC_INPUT_FILE), ControlText(IDC_INI_FILE),
                        IsTicked(IDC_BACKUP), IsTicked(IDC_EMBEDDED)};
}

bool CConvertDlg::IsTicked(int id) const { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }

std::string CConvertDlg::PathForRun(PathField field) const { return ControlText(FieldId(field)); }

bool CConvertDlg::AskForFile(const char* extension, std::string* path) {
  return PickFile(m_hWnd, extension, path);
}

std::string CConvertDlg::EnterFolderOf(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  char* name = nullptr;
  DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), &full[0], &name);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameA(path.c_str(), length, &full[0], &name);
  }
  if (length == 0 || name == nullptr) return path;
  full.resize(length);
  SetCurrentDirectoryA(full.substr(0, static_cast<std::size_t>(name - full.data())).c_str());
  return full;
}

void CConvertDlg::ShowPath(PathField field, const std::string& path) {
  SetDlgItemTextA(m_hWnd, FieldId(field), path.c_str());
}

void CConvertDlg::ShowAboutBox() {
  CAboutDlg about;
  about.DoModal(m_hWnd);
}

void CConvertDlg::Finish(DialogEnd end) {
  EndDialog(m_hWnd, end == DialogEnd::kExit ? IDOK : IDCANCEL);
}

// Only a minimised window paints itself: its icon, centred.
bool CConvertDlg::OnPaint() {
  if (!IsIconic(m_hWnd)) return false;
  PAINTSTRUCT paint;
  const HDC device = BeginPaint(m_hWnd, &paint);
  SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(device), 0);
  const int icon_width = GetSystemMetrics(SM_CXICON);
  const int icon_height = GetSystemMetrics(SM_CYICON);
  RECT client;
  GetClientRect(m_hWnd, &client);
  const int x = (client.right - client.left - icon_width + 1) / 2;
  const int y = (client.bottom - client.top - icon_height + 1) / 2;
  DrawIcon(device, x, y, m_hIcon);
  EndPaint(m_hWnd, &paint);
  return true;
}

void CConvertDlg::ShowStatus(const char* text) {
  SetDlgItemTextA(m_hWnd, IDC_STATUS, text);
  UpdateWindow(m_hWnd);
}

void CConvertDlg::ShowMessage(const char* text, MessageKind kind) {
  const UINT icon = kind == MessageKind::kError ? MB_ICONHAND : 0;
  MessageBoxA(m_hWnd, text, kMessageCaption, MB_OK | icon);
}

void CConvertDlg::ShowLongMessage(const char* text, MessageKind kind) {
  ShowLongMessageBox(m_hWnd, text, kind);
}

}  // namespace kestrune
