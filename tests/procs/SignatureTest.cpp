// Authenticode checks on real files: a copy of the fixture signed for the build, the
// same copy changed after signing, and the unsigned fixture.
#include <gtest/gtest.h>
#include <windows.h>

#include "Fixture.h"
#include "SignedCode.h"
#include "UiWait.h"

namespace {

TEST(SignedCodeObject, SignedFileVerifiesAndNamesItsSigner) {
  SignedCode code;
  code.FileName = testsupport::BinDir() + "\\procs_signed.exe";
  EXPECT_EQ(code.Verify(false), ERROR_SUCCESS);
  EXPECT_EQ(code.Signer(), "Quillon Test Signer");
}

TEST(SignedCodeObject, TamperedUnsignedAndMissingFilesFail) {
  for (const char* name : {"procs_tampered.exe", "fixture.exe", "no_such_file.exe"}) {
    SignedCode code;
    code.FileName = testsupport::BinDir() + "\\" + name;
    EXPECT_NE(code.Verify(false), ERROR_SUCCESS) << name;
    EXPECT_EQ(code.Signer(), "") << name;
  }
}

}  // namespace
