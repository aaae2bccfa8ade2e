// Handles, keys and GDI objects that release themselves on every path: scope end, move,
// reset and a second receive.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

#include "Gdi.h"
#include "OwnedHandle.h"

namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

DWORD GdiCount() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

TEST(OwnedHandle, EveryPathClosesTheHandleOnce) {
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr), second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  {
    OwnedHandle a(first);
    OwnedHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), first);
    b = OwnedHandle(second);  // the first goes when replaced
    EXPECT_FALSE(IsOpen(first));
    EXPECT_TRUE(IsOpen(second));
  }
  EXPECT_FALSE(IsOpen(second));

  // A handle received through a pointer replaces the one held. (Handle values are
  // used again at once, so the old pipe shows it: its read end is gone.)
  OwnedHandle read, write;
  ASSERT_TRUE(CreatePipe(read.Receive(), write.Receive(), nullptr, 0));
  const OwnedHandle oldWrite(write.Release());
  ASSERT_TRUE(CreatePipe(read.Receive(), write.Receive(), nullptr, 0));
  DWORD written = 0;
  EXPECT_FALSE(WriteFile(oldWrite.get(), "x", 1, &written, nullptr));

  // A released handle is the caller's.
  HANDLE kept = read.Release();
  EXPECT_TRUE(IsOpen(kept));
  CloseHandle(kept);
}

TEST(OwnedHandle, AFailedOpenIsNoHandle) {
  OwnedHandle file(CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(file);
  EXPECT_EQ(file.get(), nullptr);
}

TEST(OwnedKey, TheKeyClosesAtScopeEnd) {
  HKEY raw = nullptr;
  {
    OwnedKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    raw = key.get();
    DWORD count = 0;
    EXPECT_EQ(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
  }
  EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST(GdiOwners, DrawingWithOwnedObjectsLeavesTheGdiCountLevel) {
  const DWORD before = GdiCount();
  for (int i = 0; i < 20; ++i) {
    ui::WindowDC screen;
    ui::MemoryDC memory(screen.get());
    ui::OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), 16, 16));
    ui::OwnedBrush brush(CreateSolidBrush(RGB(i, 0, 0)));
    ui::OwnedBitmap moved(std::move(bitmap));
    ui::SelectIn select(memory.get(), moved.get());
    RECT r = {0, 0, 16, 16};
    FillRect(memory.get(), &r, brush.get());
  }
  EXPECT_EQ(GdiCount(), before);
}

TEST(GdiOwners, TheSelectionIsUndoneBeforeTheObjectGoes) {
  ui::MemoryDC memory;
  HGDIOBJ original = GetCurrentObject(memory.get(), OBJ_BITMAP);
  {
    ui::OwnedBitmap bitmap(CreateBitmap(8, 8, 1, 1, nullptr));
    ui::SelectIn select(memory.get(), bitmap.get());
    EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_BITMAP), bitmap.get());
  }
  EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_BITMAP), original);
}

}  // namespace
