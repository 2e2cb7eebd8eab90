#include "ui/win32/module1.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "platform/windows/wide_text.h"
#include "ui/win32/dialog_seams.h"

namespace zentil::ui::win32 {
namespace {

// The dialog's item list belongs to its caller, who gives it back to COM's allocator.
struct ItemListFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

}  // namespace

std::string BrowseForFolder(HWND owner, std::string_view prompt) {
  if (auto answer = seams::take_folder_answer()) return *answer;

  // The UTF-16 calls: a folder named outside the ANSI code page can be chosen too.
  const std::wstring title = to_wide(prompt);
  BROWSEINFOW settings{};
  settings.hwndOwner = owner;
  settings.pidlRoot = nullptr;        // the tree starts at the desktop
  settings.pszDisplayName = nullptr;  // no display name wanted
  settings.lpszTitle = title.c_str();
  settings.ulFlags = BIF_RETURNONLYFSDIRS;
  settings.lpfn = nullptr;  // no callback: no earlier choice is preselected
  settings.lParam = 0;
  settings.iImage = 0;
  const UniqueItemList chosen(SHBrowseForFolderW(&settings));

  // Asked after a cancel too: a null item list makes the query fail, and the answer is "".
  wchar_t path[MAX_PATH];
  std::fill(std::begin(path), std::end(path), L' ');
  if (!SHGetPathFromIDListW(chosen.get(), path)) return "";
  return to_utf8(std::wstring_view(path, wcsnlen(path, MAX_PATH)));
}

}  // namespace zentil::ui::win32
