// The program file carries its version, manifest and icon.
#include <gtest/gtest.h>

#include <vector>

#include "UiWait.h"
#include "version.h"

namespace {

std::string ProgramPath() { return testsupport::BinDir() + "\\QuillonPro.exe"; }

TEST(ProgramFile, VersionResourceHoldsTheProgramVersion) {
  std::string path = ProgramPath();
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), QP_VERSION_MAJOR);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), QP_VERSION_MINOR);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), QP_VERSION_REVISION);
  char* product = nullptr;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904b0\\ProductName",
                             reinterpret_cast<void**>(&product), &len));
  EXPECT_STREQ(product, "Quillon Pro");
}

TEST(ProgramFile, CarriesItsManifestAndIcon) {
  HMODULE exe = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(exe);
  HRSRC manifest = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_TRUE(manifest);
  std::string text(static_cast<const char*>(LockResource(LoadResource(exe, manifest))),
                   SizeofResource(exe, manifest));
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("asInvoker"), std::string::npos);
  EXPECT_TRUE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)));  // RT_GROUP_ICON
  FreeLibrary(exe);
}

// The DLL names and function names a file imports, lower-cased DLL names.
std::vector<std::pair<std::string, std::string>> Imports(const std::string& path) {
  std::vector<std::pair<std::string, std::string>> out;
  HMODULE file = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!file) return out;
  char* base = reinterpret_cast<char*>(file);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
    std::string dll = base + imp->Name;
    for (char& c : dll) c = static_cast<char>(tolower(c));
    auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    for (; imp->OriginalFirstThunk && thunk->u1.AddressOfData; ++thunk)
      if (!(thunk->u1.Ordinal & IMAGE_ORDINAL_FLAG))
        out.emplace_back(dll, reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + thunk->u1.AddressOfData)->Name);
    if (!imp->OriginalFirstThunk) out.emplace_back(dll, "");
  }
  FreeLibrary(file);
  return out;
}

TEST(ProgramFile, NeedsNoMinGWLibraries) {
  // A missing runtime DLL would stop the program from loading on a bare system.
  for (const char* file : {"QuillonPro.exe", "Pellmon.dll"}) {
    auto imports = Imports(testsupport::BinDir() + "\\" + file);
    ASSERT_FALSE(imports.empty()) << file;
    for (const auto& [dll, function] : imports) {
      EXPECT_EQ(dll.find("libgcc"), std::string::npos) << file << ": " << dll;
      EXPECT_EQ(dll.find("libstdc++"), std::string::npos) << file << ": " << dll;
      EXPECT_EQ(dll.find("libwinpthread"), std::string::npos) << file << ": " << dll;
    }
  }
}

TEST(ProgramFile, ImportsNothingThatOlderSystemsLack) {
  // The thread runtime asks for GetTickCount64 (Vista and later; the first 64-bit
  // Windows lacks it too); our fallback fills its slot so no shipped file imports it.
  // (Every other import is checked against the project's list by the import check.)
  for (const char* file : {"QuillonPro.exe", "Pellmon.dll", "Moskin.dll", "Brackel.dll"}) {
    bool readsNames = false;
    for (const auto& [dll, function] : Imports(testsupport::BinDir() + "\\" + file)) {
      EXPECT_NE(function, "GetTickCount64") << file;
      readsNames = readsNames || function == "GetModuleHandleA";
    }
    EXPECT_TRUE(readsNames) << file;  // the import names were really read
  }
}

}  // namespace
