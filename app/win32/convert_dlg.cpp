// The main window: two path fields with Browse buttons, two options, Convert, Exit, status line.
#include "app/win32/convert_dlg.h"

#include <string>

#include "app/convert_command.h"
#include "app/win32/about_dlg.h"
#include "app/win32/file_picker.h"
#include "res/resource.h"

namespace kestrune {

namespace {

constexpr char kMessageCaption[] = "Convert";
// The system menu's commands keep their low four bits for the system's own use.
constexpr UINT kSystemCommandMask = 0xFFF0;
// The longest string 101 can be; the About item's text is far shorter.
constexpr int kMenuTextCapacity = 256;

}  // namespace

CConvertDlg::CConvertDlg(ProfileStore& settings)
    : CModalDialog(IDD_CONVERT_DIALOG),
      m_settings(settings),
      m_hIcon(LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

// The message map: the system menu, painting, the drag icon and the three buttons.
bool CConvertDlg::OnMessage(UINT message, WPARAM wparam, LPARAM, INT_PTR* result) {
  switch (message) {
    case WM_SYSCOMMAND:
      return OnSysCommand(static_cast<UINT>(wparam));
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      *result = reinterpret_cast<INT_PTR>(OnQueryDragIcon());
      return true;
    case WM_COMMAND:
      if (HIWORD(wparam) != BN_CLICKED) return false;
      switch (LOWORD(wparam)) {
        case IDC_CONVERT:
          OnConvert();
          return true;
        case IDC_BROWSE_INPUT:
          OnBrowseInput();
          return true;
        case IDC_BROWSE_INI:
          OnBrowseIni();
          return true;
        default:
          return false;
      }
    default:
      return false;
  }
}

BOOL CConvertDlg::OnInitDialog() {
  CModalDialog::OnInitDialog();
  AddAboutItem();
  SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  ShowSettings(LoadSettings(m_settings));
  return TRUE;
}

void CConvertDlg::AddAboutItem() {
  const HMENU menu = GetSystemMenu(m_hWnd, FALSE);
  if (menu == nullptr) return;
  char about[kMenuTextCapacity];
  if (LoadStringA(ResourceModule(), IDS_ABOUTBOX, about, sizeof about) == 0) return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
}

void CConvertDlg::ShowSettings(const DialogSettings& settings) {
  SetDlgItemTextA(m_hWnd, IDC_INPUT_FILE, settings.input_file.c_str());
  SetDlgItemTextA(m_hWnd, IDC_INI_FILE, settings.ini_file.c_str());
  CheckDlgButton(m_hWnd, IDC_BACKUP, settings.backups ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(m_hWnd, IDC_EMBEDDED, settings.embedded ? BST_CHECKED : BST_UNCHECKED);
}

DialogSettings CConvertDlg::ReadSettings() const {
  DialogSettings settings;
  settings.input_file = ControlText(IDC_INPUT_FILE);
  settings.ini_file = ControlText(IDC_INI_FILE);
  settings.backups = IsTicked(IDC_BACKUP);
  settings.embedded = IsTicked(IDC_EMBEDDED);
  return settings;
}

bool CConvertDlg::IsTicked(int id) const { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }

void CConvertDlg::OnOK() {
  SaveSettings(m_settings, ReadSettings());
  CModalDialog::OnOK();
}

void CConvertDlg::OnConvert() {
  char input[kFieldBufferSize];
  char ini[kFieldBufferSize];
  GetDlgItemTextA(m_hWnd, IDC_INPUT_FILE, input, sizeof input);
  GetDlgItemTextA(m_hWnd, IDC_INI_FILE, ini, sizeof ini);
  const ConvertRequest request = MakeConvertRequest(input, ini, FieldEncoding::kSingleByte,
                                                    IsTicked(IDC_BACKUP), IsTicked(IDC_EMBEDDED));
  RunConvertCommand(*this, request);
}

void CConvertDlg::OnBrowseInput() { BrowseInto(IDC_INPUT_FILE, "SCH"); }

void CConvertDlg::OnBrowseIni() { BrowseInto(IDC_INI_FILE, "INI"); }

void CConvertDlg::BrowseInto(int field_id, const char* extension) {
  std::string path;
  if (PickFile(m_hWnd, extension, &path)) SetDlgItemTextA(m_hWnd, field_id, path.c_str());
}

bool CConvertDlg::OnSysCommand(UINT id) {
  if ((id & kSystemCommandMask) != IDM_ABOUTBOX) return false;
  CAboutDlg about;
  about.DoModal(m_hWnd);
  return true;
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

HICON CConvertDlg::OnQueryDragIcon() const { return m_hIcon; }

void CConvertDlg::SetStatus(const char* text) {
  SetDlgItemTextA(m_hWnd, IDC_STATUS, text);
  UpdateWindow(m_hWnd);
}

void CConvertDlg::ShowError(const char* text) {
  MessageBoxA(m_hWnd, text, kMessageCaption, MB_OK | MB_ICONHAND);
}

void CConvertDlg::ShowInfo(const char* text) { MessageBoxA(m_hWnd, text, kMessageCaption, MB_OK); }

}  // namespace kestrune
