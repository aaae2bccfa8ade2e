// The registered library through COM, as the program uses it: registration,
// creation, the type library, the windows and the figures.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Fixture.h"
#include "LibraryTestSupport.h"
#include "ListSorter.h"
#include "MemoryFigures.h"
#include "UiWait.h"

using libtest::KeyExists;
using libtest::ReadString;
using libtest::SysInfoPtr;

namespace {

const char kClsidKey[] = "CLSID\\{B52F1570-8A88-11D5-87A5-00C04F5F8704}";
const char kTypeLibKey[] = "TypeLib\\{B52F1562-8A88-11D5-87A5-00C04F5F8704}";

// Registers the library again however a test that unregisters it ends.
struct RegisterAgain {
  ~RegisterAgain() { libtest::RegisterLibrary(); }
};

std::string Narrow(BSTR text) {
  if (!text) return "";
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
  return out;
}

std::string ItemText(HWND dialog, int id) {
  char buffer[256] = "";
  GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
  return buffer;
}

bool IsWholeNumber(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  std::strtol(text.c_str(), &end, 10);
  return *end == '\0';
}

HWND AsWindow(long handle) { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)); }

MEMORYSTATUSEX MemoryStatus() {
  MEMORYSTATUSEX ms = {};
  ms.dwLength = sizeof ms;
  GlobalMemoryStatusEx(&ms);
  return ms;
}

std::vector<HWND> ChildrenWithId(HWND parent, int id) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetDlgCtrlID(child) == id) found.push_back(child);
  return found;
}

std::vector<std::string> ColumnTexts(HWND list, int column) {
  std::vector<std::string> out;
  int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) out.push_back(CellText(list, i, column));
  return out;
}

// A real click on a column header: the header tells the list, the list its dialog.
void ClickHeader(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT r = {};
  SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
  testsupport::PumpUntilIdle();
}

}  // namespace

TEST(PellmonRegistration, RegisterWritesTheListedKeysAndUnregisterRemovesThem) {
  RegisterAgain registerAgain;
  const std::string path = libtest::PellmonPath();
  // What an older registration left under the class key does not survive.
  HKEY stale;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kClsidKey) + "\\Stale").c_str(),
                                           0, nullptr, 0, KEY_WRITE, nullptr, &stale, nullptr));
  RegCloseKey(stale);
  ASSERT_EQ(0, libtest::RunAndWait("regsvr32 /s \"" + path + "\""));

  const struct {
    std::string key;
    const char* name;
    std::string value;
  } expected[] = {
      {"Pellmon.SysInfo.1", nullptr, "SysInfo Class"},
      {"Pellmon.SysInfo.1\\CLSID", nullptr, "{B52F1570-8A88-11D5-87A5-00C04F5F8704}"},
      {"Pellmon.SysInfo", nullptr, "SysInfo Class"},
      {"Pellmon.SysInfo\\CLSID", nullptr, "{B52F1570-8A88-11D5-87A5-00C04F5F8704}"},
      {"Pellmon.SysInfo\\CurVer", nullptr, "Pellmon.SysInfo.1"},
      {kClsidKey, nullptr, "SysInfo Class"},
      {std::string(kClsidKey) + "\\ProgID", nullptr, "Pellmon.SysInfo.1"},
      {std::string(kClsidKey) + "\\VersionIndependentProgID", nullptr, "Pellmon.SysInfo"},
      {std::string(kClsidKey) + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {std::string(kClsidKey) + "\\TypeLib", nullptr, "{B52F1562-8A88-11D5-87A5-00C04F5F8704}"},
      {std::string(kTypeLibKey) + "\\1.0", nullptr, "Pellmon 1.0 Type Library"},
  };
  for (const auto& e : expected) {
    std::string value;
    EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, e.key, e.name, value)) << e.key;
    EXPECT_EQ(e.value, value) << e.key;
  }
  std::string server;
  ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, std::string(kClsidKey) + "\\InprocServer32", nullptr, server));
  EXPECT_EQ(0, lstrcmpiA(path.c_str(), server.c_str())) << server;
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kClsidKey) + "\\Stale"));

  ASSERT_EQ(0, libtest::RunAndWait("regsvr32 /s /u \"" + path + "\""));
  for (const char* gone : {"Pellmon.SysInfo.1", "Pellmon.SysInfo", kClsidKey, kTypeLibKey})
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, gone)) << gone;
  // The key of every class stays, with the other classes in it.
  HKEY root;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &root));
  DWORD subkeys = 0;
  RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(root);
  EXPECT_GT(subkeys, 10u);
  EXPECT_NE(S_OK, SysInfoPtr().created());
  // Unregistering twice is harmless.
  EXPECT_EQ(0, libtest::RunAndWait("regsvr32 /s /u \"" + path + "\""));

  ASSERT_TRUE(libtest::RegisterLibrary());
  EXPECT_EQ(S_OK, SysInfoPtr().created());
}

TEST(PellmonCreation, ByClassIdAndByEitherProgId) {
  SysInfoPtr direct;
  ASSERT_EQ(S_OK, direct.created());
  for (const wchar_t* progId : {L"Pellmon.SysInfo", L"Pellmon.SysInfo.1"}) {
    CLSID clsid = {};
    ASSERT_EQ(S_OK, CLSIDFromProgID(progId, &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_SysInfo));
    IUnknown* object = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&object)));
    ISysInfo* sysInfo = nullptr;
    EXPECT_EQ(S_OK, object->QueryInterface(IID_ISysInfo, reinterpret_cast<void**>(&sysInfo)));
    IDispatch* dispatch = nullptr;
    EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    if (sysInfo) sysInfo->Release();
    object->Release();
  }
}

TEST(PellmonTypeLibrary, NamesTheInterfaceAndItsMethodsInSlotOrder) {
  ITypeLib* lib = nullptr;
  ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_PELLMONLib, 1, 0, 0, &lib));
  BSTR name = nullptr, doc = nullptr;
  ASSERT_EQ(S_OK, lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
  EXPECT_EQ("PELLMONLib", Narrow(name));
  EXPECT_EQ("Pellmon 1.0 Type Library", Narrow(doc));
  SysFreeString(name);
  SysFreeString(doc);

  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(CLSID_SysInfo, &coclass));
  ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr));
  EXPECT_EQ("SysInfo", Narrow(name));
  EXPECT_EQ("SysInfo Class", Narrow(doc));
  SysFreeString(name);
  SysFreeString(doc);
  coclass->Release();

  ITypeInfo* info = nullptr;
  ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(IID_ISysInfo, &info));
  ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr));
  EXPECT_EQ("ISysInfo", Narrow(name));
  EXPECT_EQ("ISysInfo Interface", Narrow(doc));
  SysFreeString(name);
  SysFreeString(doc);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
  EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
  EXPECT_EQ(7, attr->cFuncs);
  info->ReleaseTypeAttr(attr);
  // Based on IUnknown, not IDispatch.
  HREFTYPE baseRef = 0;
  ITypeInfo* base = nullptr;
  ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(0, &baseRef));
  ASSERT_EQ(S_OK, info->GetRefTypeInfo(baseRef, &base));
  base->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
  EXPECT_EQ("IUnknown", Narrow(name));
  SysFreeString(name);
  base->Release();

  const char* const methods[] = {"PerfWnd", "RefPerfWnd", "DrivesWnd", "RefDrivesWnd",
                                 "PerfInfo", "ProcMem",   "ProcCPU"};
  for (UINT i = 0; i < 7; ++i) {
    FUNCDESC* func = nullptr;
    ASSERT_EQ(S_OK, info->GetFuncDesc(i, &func));
    ASSERT_EQ(S_OK, info->GetDocumentation(func->memid, &name, &doc, nullptr, nullptr));
    EXPECT_EQ(methods[i], Narrow(name));
    EXPECT_EQ(std::string("method ") + methods[i], Narrow(doc));
    // Slots after QueryInterface, AddRef and Release.
    EXPECT_EQ(static_cast<int>((3 + i) * sizeof(void*)), func->oVft) << methods[i];
    SysFreeString(name);
    SysFreeString(doc);
    info->ReleaseFuncDesc(func);
  }
  info->Release();
  lib->Release();
}

TEST(PellmonModule, ExportsByNameAndStaysLoadedWhileAWindowIsOpen) {
  HMODULE module = LoadLibraryA(libtest::PellmonPath().c_str());
  ASSERT_NE(nullptr, module);
  for (const char* name : {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"})
    EXPECT_NE(nullptr, GetProcAddress(module, name)) << name;
  typedef HRESULT(WINAPI * CanUnloadFn)();
  typedef HRESULT(WINAPI * GetClassObjectFn)(REFCLSID, REFIID, void**);
  auto canUnload = reinterpret_cast<CanUnloadFn>(GetProcAddress(module, "DllCanUnloadNow"));
  auto getClassObject = reinterpret_cast<GetClassObjectFn>(GetProcAddress(module, "DllGetClassObject"));
  ASSERT_TRUE(canUnload && getClassObject);

  EXPECT_EQ(S_OK, canUnload());
  void* other = nullptr;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IUnknown, IID_IClassFactory, &other));
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, getClassObject(CLSID_SysInfo, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_FALSE, canUnload());
  IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
  ISysInfo* sysInfo = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_ISysInfo, reinterpret_cast<void**>(&sysInfo)));
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ISysInfo, reinterpret_cast<void**>(&sysInfo)));
  factory->Release();
  EXPECT_EQ(S_FALSE, canUnload());  // the object

  long handle = 0;
  ASSERT_EQ(S_OK, sysInfo->PerfWnd(&handle));
  sysInfo->Release();
  // The window outlives the object and keeps its code loaded.
  HWND window = AsWindow(handle);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(S_FALSE, canUnload());
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(S_OK, canUnload());
  FreeLibrary(module);
}

TEST(PellmonPerfWindow, FirstCallOpensItSecondCallClosesIt) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  long handle = 0;
  ASSERT_EQ(S_OK, sysInfo->PerfWnd(&handle));
  HWND window = AsWindow(handle);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(nullptr, GetParent(window));
  EXPECT_EQ(nullptr, GetWindow(window, GW_OWNER));

  // Filled at once with a first sample.
  EXPECT_TRUE(IsWholeNumber(ItemText(window, 215))) << ItemText(window, 215);
  EXPECT_TRUE(IsWholeNumber(ItemText(window, 216))) << ItemText(window, 216);
  MEMORYSTATUSEX ms = MemoryStatus();
  EXPECT_EQ("Total:\t" + std::to_string(pellmon::KbFigure(ms.ullTotalPhys)), ItemText(window, 206));
  EXPECT_EQ("Total:\t" + std::to_string(pellmon::KbFigure(ms.ullTotalVirtual)), ItemText(window, 209));
  EXPECT_EQ("Total:\t" + std::to_string(pellmon::KbFigure(ms.ullTotalPageFile)), ItemText(window, 211));
  for (int id : {207, 208, 210}) EXPECT_EQ(0u, ItemText(window, id).rfind("Free:\t", 0)) << id;

  // The two graphs lie over their place holders.
  std::vector<HWND> graphs = ChildrenWithId(window, 100);
  ASSERT_EQ(2u, graphs.size());
  for (size_t i = 0; i < 2; ++i) {
    RECT graph, place;
    GetWindowRect(graphs[i], &graph);
    GetWindowRect(GetDlgItem(window, i == 0 ? 204 : 205), &place);
    EXPECT_TRUE(EqualRect(&graph, &place)) << i;
    EXPECT_TRUE(GetWindowLongA(graphs[i], GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  }

  // A refresh writes every figure again.
  SetDlgItemTextA(window, 215, "x");
  SetDlgItemTextA(window, 206, "x");
  EXPECT_EQ(S_OK, sysInfo->RefPerfWnd());
  EXPECT_TRUE(IsWholeNumber(ItemText(window, 215)));
  EXPECT_EQ("Total:\t" + std::to_string(pellmon::KbFigure(ms.ullTotalPhys)), ItemText(window, 206));

  handle = -1;
  EXPECT_EQ(S_FALSE, sysInfo->PerfWnd(&handle));
  EXPECT_EQ(0, handle);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(S_FALSE, sysInfo->RefPerfWnd());
}

TEST(PellmonWindows, RefreshWithNoWindowAnswersSFalse) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  EXPECT_EQ(S_FALSE, sysInfo->RefPerfWnd());
  EXPECT_EQ(S_FALSE, sysInfo->RefDrivesWnd());
}

TEST(PellmonWindows, AWindowClosedByItsCloseBoxIsForgotten) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  struct Kind {
    HRESULT (STDMETHODCALLTYPE ISysInfo::*toggle)(long*);
    HRESULT (STDMETHODCALLTYPE ISysInfo::*refresh)();
  } const kinds[] = {{&ISysInfo::PerfWnd, &ISysInfo::RefPerfWnd},
                     {&ISysInfo::DrivesWnd, &ISysInfo::RefDrivesWnd}};
  for (const Kind& kind : kinds) {
    ISysInfo* s = sysInfo.get();
    long handle = 0;
    ASSERT_EQ(S_OK, (s->*kind.toggle)(&handle));
    HWND window = AsWindow(handle);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(S_FALSE, (s->*kind.refresh)());
    // The next toggle opens a new window rather than closing the old one.
    long again = 0;
    EXPECT_EQ(S_OK, (s->*kind.toggle)(&again));
    EXPECT_TRUE(IsWindow(AsWindow(again)));
    EXPECT_EQ(S_OK, (s->*kind.refresh)());
    EXPECT_EQ(S_FALSE, (s->*kind.toggle)(&again));
    EXPECT_EQ(0, again);
  }
}

TEST(PellmonDrivesWindow, ListsEachDriveWithItsTypeAndSpace) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  long handle = 0;
  ASSERT_EQ(S_OK, sysInfo->DrivesWnd(&handle));
  HWND window = AsWindow(handle);
  HWND list = GetDlgItem(window, 201);
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(nullptr, GetParent(window));
  EXPECT_EQ(0x150u, SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x150u);

  RECT client;
  GetClientRect(list, &client);
  const char* const titles[] = {"Drive", "Type", "Free Space(MB)", "Used Space(MB)", "Total Space(MB)"};
  for (int i = 0; i < 5; ++i) {
    char text[64] = "";
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = text;
    col.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&col)));
    EXPECT_STREQ(titles[i], text);
    EXPECT_EQ(client.right / 4, col.cx);
  }

  // Every drive of a listed type, in letter order, with its space in MB.
  std::vector<std::string> roots;
  DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    std::string root = std::string(1, static_cast<char>('A' + letter)) + ":\\";
    UINT type = GetDriveTypeA(root.c_str());
    if ((drives & (1u << letter)) && type >= DRIVE_REMOVABLE && type <= DRIVE_RAMDISK) roots.push_back(root);
  }
  ASSERT_EQ(roots, ColumnTexts(list, 0));
  for (size_t i = 0; i < roots.size(); ++i) {
    int item = static_cast<int>(i);
    if (GetDriveTypeA(roots[i].c_str()) == DRIVE_FIXED) {
      EXPECT_EQ("Fixed", CellText(list, item, 1));
    }
    ULARGE_INTEGER callerFree, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA(roots[i].c_str(), &callerFree, &total, &totalFree));
    char expectedTotal[64];
    std::snprintf(expectedTotal, sizeof expectedTotal, "%.2f", static_cast<double>(total.QuadPart >> 10) / 1024);
    EXPECT_EQ(expectedTotal, CellText(list, item, 4));
    double freeMb = std::atof(CellText(list, item, 2).c_str());
    double usedMb = std::atof(CellText(list, item, 3).c_str());
    EXPECT_NEAR(std::atof(expectedTotal), freeMb + usedMb, 0.011);
    for (int column = 2; column <= 4; ++column) {
      std::string cell = CellText(list, item, column);
      EXPECT_EQ(cell.size() - 3, cell.find('.')) << cell;  // two decimals
    }
  }
  EXPECT_EQ(S_FALSE, sysInfo->DrivesWnd(&handle));
  EXPECT_FALSE(IsWindow(window));
}

TEST(PellmonDrivesWindow, HeaderClicksSortAndARefillRestoresLetterOrder) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  long handle = 0;
  ASSERT_EQ(S_OK, sysInfo->DrivesWnd(&handle));
  HWND window = AsWindow(handle);
  HWND list = GetDlgItem(window, 201);
  std::vector<std::string> letterOrder = ColumnTexts(list, 0);
  ASSERT_GE(letterOrder.size(), 2u) << "the prefix has C: and Z:";
  std::vector<std::string> reversed(letterOrder.rbegin(), letterOrder.rend());

  ClickHeader(list, 0);
  EXPECT_EQ(letterOrder, ColumnTexts(list, 0));
  ClickHeader(list, 0);
  EXPECT_EQ(reversed, ColumnTexts(list, 0));
  EXPECT_EQ(S_OK, sysInfo->RefDrivesWnd());
  EXPECT_EQ(letterOrder, ColumnTexts(list, 0));
  EXPECT_EQ(S_FALSE, sysInfo->DrivesWnd(&handle));
}

TEST(PellmonPerfInfo, NullPointerAnswersSFalse) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  EXPECT_EQ(S_FALSE, sysInfo->PerfInfo(nullptr));
}

TEST(PellmonPerfInfo, NineFiguresInACallerOwnedArray) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  VARIANT info;
  VariantInit(&info);
  ASSERT_EQ(S_OK, sysInfo->PerfInfo(&info));
  EXPECT_EQ(VT_ARRAY | VT_I4, info.vt);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(info.parray, 1, &lower);
  SafeArrayGetUBound(info.parray, 1, &upper);
  EXPECT_EQ(0, lower);
  EXPECT_EQ(8, upper);
  std::vector<long> v = libtest::ArrayValues(info);
  VariantClear(&info);
  ASSERT_EQ(9u, v.size());
  MEMORYSTATUSEX ms = MemoryStatus();
  EXPECT_GE(v[0], 0);
  EXPECT_LE(v[0], 100);
  EXPECT_GE(v[1], 0);
  EXPECT_LE(v[1], 100);
  EXPECT_EQ(pellmon::KbFigure(ms.ullTotalPhys), v[3]);
  EXPECT_EQ(pellmon::KbFigure(ms.ullTotalVirtual), v[5]);
  EXPECT_EQ(pellmon::KbFigure(ms.ullTotalPageFile), v[7]);
  EXPECT_LE(v[2], v[3]);
  EXPECT_LE(v[4], v[5]);
  EXPECT_GT(v[4], 0);
  // The page-fault counter cannot be added here (a platform fact), which reads 0.
  EXPECT_EQ(0, v[8]);
}

TEST(PellmonProcMem, AProcessThatCannotBeOpenedLeavesTheVariantAsItWas) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  for (long pid : {0L, 0x7FFFFFF0L}) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = 12345;
    EXPECT_EQ(S_FALSE, sysInfo->ProcMem(pid, &v)) << pid;
    EXPECT_EQ(VT_I4, v.vt);
    EXPECT_EQ(12345, v.lVal);
  }
  EXPECT_EQ(S_FALSE, sysInfo->ProcMem(static_cast<long>(GetCurrentProcessId()), nullptr));
}

TEST(PellmonProcMem, CountsTheFirst128MegabytesOnlyAndARegionAcrossTheEndOnlyBelowIt) {
  testsupport::FixtureOptions options;
  options.mode = "hidden";
  options.title = "Pellmon memory fixture";
  testsupport::Fixture fixture(options);
  ASSERT_TRUE(fixture.Started());
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  auto measure = [&] {
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(S_OK, sysInfo->ProcMem(static_cast<long>(fixture.pid()), &v));
    std::vector<long> values = libtest::ArrayValues(v);
    VariantClear(&v);
    return values;
  };
  std::vector<long> before = measure();
  ASSERT_EQ(3u, before.size());
  EXPECT_EQ(128 * 1024, before[0] + before[1] + before[2]);
  EXPECT_GT(before[0], 0);

  // Reserve 64 KB on each side of the end of the counted range.
  const uintptr_t start = 0x8000000 - 0x10000;
  MEMORY_BASIC_INFORMATION region = {};
  ASSERT_TRUE(VirtualQueryEx(fixture.process(), reinterpret_cast<void*>(start), &region, sizeof region));
  ASSERT_EQ(static_cast<DWORD>(MEM_FREE), region.State) << "the test needs free space there";
  ASSERT_GE(reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize, start + 0x20000);
  ASSERT_NE(nullptr, VirtualAllocEx(fixture.process(), reinterpret_cast<void*>(start), 0x20000,
                                    MEM_RESERVE, PAGE_NOACCESS));
  std::vector<long> after = measure();
  ASSERT_EQ(3u, after.size());
  EXPECT_EQ(before[0], after[0]);
  EXPECT_EQ(before[1] + 64, after[1]);
  EXPECT_EQ(before[2] - 64, after[2]);
  EXPECT_EQ(128 * 1024, after[0] + after[1] + after[2]);
}

TEST(PellmonProcCpu, AnswersSOkWithTheFigureItCanGet) {
  SysInfoPtr sysInfo;
  ASSERT_EQ(S_OK, sysInfo.created());
  // This system's performance data has no process object: the figure reads 0.
  long cpu = -5;
  EXPECT_EQ(S_OK, sysInfo->ProcCPU(static_cast<long>(GetCurrentProcessId()), &cpu));
  EXPECT_EQ(0, cpu);
  EXPECT_EQ(S_OK, sysInfo->ProcCPU(static_cast<long>(GetCurrentProcessId()), nullptr));
}
