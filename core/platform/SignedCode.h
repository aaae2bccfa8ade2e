// The signed-code object: checks a file's Authenticode signature and names who signed it.
#pragma once
#include <windows.h>

#include <string>

class SignedCode {
 public:
  // The file to check.
  std::string FileName;

  // Verifies the file's signature and its certificate chain; with prompt False nothing
  // is shown to the user. Returns the trust provider's answer: 0 (ERROR_SUCCESS) when
  // the signature holds, else the failure (TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST,
  // CERT_E_UNTRUSTEDROOT ...). After success Signer() names the signer.
  LONG Verify(bool prompt);

  // The simple name (the common name, else the first e-mail or organisation) of the
  // certificate that signed the file; "" before a successful Verify.
  const std::string& Signer() const { return signer_; }

 private:
  std::string signer_;
};
