#include "mail_test_files.h"

#include <windows.h>
#include <wincrypt.h>

#include <fstream>
#include <sstream>

namespace mail_test_files {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

std::string Delivered(const std::string& state, int port, const std::string& rcpt) {
  return ReadFile(state + "/mail/" + std::to_string(port) + "-" + rcpt + ".txt");
}

int QuitsSeen(const std::string& state, int port, const std::string& rcpt) {
  std::istringstream log(ReadFile(state + "/quit.log"));
  std::string line;
  int n = 0;
  while (std::getline(log, line))
    if (line == std::to_string(port) + " " + rcpt) ++n;
  return n;
}

bool TrustTestCa(const std::string& state) {
  const std::string der = ReadFile(state + "/certs/ca.der");
  if (der.empty()) return false;
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
  if (!store) return false;
  const BOOL ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                                   reinterpret_cast<const BYTE*>(der.data()),
                                                   static_cast<DWORD>(der.size()),
                                                   CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  return ok != FALSE;
}

}  // namespace mail_test_files
