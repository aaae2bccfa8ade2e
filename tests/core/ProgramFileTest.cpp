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

TEST(ProgramFile, NeedsNoMinGWLibraries) {
  // A missing runtime DLL would stop the program from loading on a bare system.
  HMODULE exe = LoadLibraryExA(ProgramPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_TRUE(exe);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(exe);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(reinterpret_cast<char*>(exe) + dos->e_lfanew);
  auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(reinterpret_cast<char*>(exe) + dir.VirtualAddress);
  for (; imp->Name; ++imp) {
    std::string name = reinterpret_cast<char*>(exe) + imp->Name;
    for (char& c : name) c = static_cast<char>(tolower(c));
    EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
    EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
    EXPECT_EQ(name.find("libwinpthread"), std::string::npos) << name;
  }
  FreeLibrary(exe);
}

}  // namespace
