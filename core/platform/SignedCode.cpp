#include "SignedCode.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <vector>

#include "LateBinding.h"

namespace {
// The trust libraries load only when a signature is first checked.
struct TrustCalls {
  decltype(&WinVerifyTrust) verify = LateBound<decltype(&WinVerifyTrust)>("wintrust.dll", "WinVerifyTrust");
  decltype(&WTHelperProvDataFromStateData) provider =
      LateBound<decltype(&WTHelperProvDataFromStateData)>("wintrust.dll", "WTHelperProvDataFromStateData");
  decltype(&WTHelperGetProvSignerFromChain) signer =
      LateBound<decltype(&WTHelperGetProvSignerFromChain)>("wintrust.dll", "WTHelperGetProvSignerFromChain");
  decltype(&CertGetNameStringA) name = LateBound<decltype(&CertGetNameStringA)>("crypt32.dll", "CertGetNameStringA");
  bool Complete() const { return verify && provider && signer && name; }
};
const TrustCalls& Trust() {
  static const TrustCalls calls;
  return calls;
}
}  // namespace

LONG SignedCode::Verify(bool prompt) {
  signer_.clear();
  const TrustCalls& trust = Trust();
  if (!trust.Complete()) return static_cast<LONG>(TRUST_E_PROVIDER_UNKNOWN);
  int n = MultiByteToWideChar(CP_ACP, 0, FileName.c_str(), -1, nullptr, 0);
  if (n <= 0) return static_cast<LONG>(GetLastError());
  std::vector<wchar_t> path(n);
  MultiByteToWideChar(CP_ACP, 0, FileName.c_str(), -1, path.data(), n);

  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = path.data();
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof data;
  data.dwUIChoice = prompt ? WTD_UI_ALL : WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  HWND owner = prompt ? nullptr : static_cast<HWND>(INVALID_HANDLE_VALUE);
  LONG result = trust.verify(owner, &action, &data);

  if (result == ERROR_SUCCESS) {
    // The signer's certificate is the first of the chain the provider built.
    CRYPT_PROVIDER_DATA* provider = trust.provider(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer = provider ? trust.signer(provider, 0, FALSE, 0) : nullptr;
    if (signer && signer->csCertChain > 0 && signer->pasCertChain && signer->pasCertChain[0].pCert) {
      PCCERT_CONTEXT cert = signer->pasCertChain[0].pCert;
      DWORD size = trust.name(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
      if (size > 1) {
        std::vector<char> name(size);
        trust.name(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), size);
        signer_ = name.data();
      }
    }
    if (signer_.empty()) result = static_cast<LONG>(TRUST_E_NO_SIGNER_CERT);
  }
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  trust.verify(owner, &action, &data);
  return result;
}
