#include "smtp_session.h"

#include <wincrypt.h>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <string.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The ROOT store, opened once for the process and only read.
INIT_ONCE rootStoreOnce = INIT_ONCE_STATIC_INIT;
HCERTSTORE rootStore;
DWORD rootStoreError;

BOOL CALLBACK OpenRootStore(PINIT_ONCE, PVOID, PVOID*) {
  rootStore = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                            CERT_SYSTEM_STORE_CURRENT_USER | CERT_STORE_READONLY_FLAG, L"ROOT");
  if (rootStore == nullptr) rootStoreError = GetLastError();
  return TRUE;
}

HCERTSTORE RootStore() {
  InitOnceExecuteOnce(&rootStoreOnce, OpenRootStore, nullptr, nullptr);
  return rootStore;
}

// Opens the store and lets the TLS library load what its first context
// needs (its algorithms are fetched once for the process).
DWORD WINAPI OpenRootStoreThreadProc(void*) {
  RootStore();
  OPENSSL_init_ssl(0, nullptr);
  SSL_CTX_free(SSL_CTX_new(TLS_client_method()));
  OPENSSL_thread_stop();
  return 0;
}

// The ROOT certificates found for one search, each decoded once.
struct FoundAnchors {
  X509_STORE* anchors;
  std::set<std::string> seen;  // DER of the certificates taken already
  std::vector<X509*> taken;    // to look for their issuers in turn
};

void TakeMatches(FoundAnchors* found, DWORD findType, const void* findParameter) {
  PCCERT_CONTEXT match = nullptr;
  while ((match = CertFindCertificateInStore(RootStore(), X509_ASN_ENCODING, 0, findType, findParameter,
                                             match)) != nullptr) {
    std::string der(reinterpret_cast<const char*>(match->pbCertEncoded), match->cbCertEncoded);
    if (!found->seen.insert(der).second) continue;
    const unsigned char* bytes = match->pbCertEncoded;
    X509* anchor = d2i_X509(nullptr, &bytes, static_cast<long>(match->cbCertEncoded));
    if (anchor == nullptr) continue;  // a certificate OpenSSL cannot read is no anchor
    X509_STORE_add_cert(found->anchors, anchor);
    found->taken.push_back(anchor);
  }
}

// Every ROOT certificate that could have issued cert: by its issuer's name,
// as OpenSSL looks issuers up, and by its authority key identifier.
void TakeIssuersOf(FoundAnchors* found, X509* cert) {
  unsigned char* name = nullptr;
  const int nameLength = i2d_X509_NAME(X509_get_issuer_name(cert), &name);
  if (nameLength > 0) {
    CERT_NAME_BLOB blob = {static_cast<DWORD>(nameLength), name};
    TakeMatches(found, CERT_FIND_SUBJECT_NAME, &blob);
  }
  OPENSSL_free(name);
  const ASN1_OCTET_STRING* keyId = X509_get0_authority_key_id(cert);
  if (keyId != nullptr && ASN1_STRING_length(keyId) > 0) {
    CRYPT_HASH_BLOB blob = {static_cast<DWORD>(ASN1_STRING_length(keyId)),
                            const_cast<BYTE*>(ASN1_STRING_get0_data(keyId))};
    TakeMatches(found, CERT_FIND_KEY_IDENTIFIER, &blob);
  }
}

// Puts into the context's store only the anchors this chain can reach, then
// verifies as OpenSSL would have with the whole store loaded: every issuer
// OpenSSL could look up by name is there.
int VerifyWithRootStore(X509_STORE_CTX* context, void*) {
  FoundAnchors found{X509_STORE_CTX_get0_store(context), {}, {}};
  std::vector<X509*> pending;
  if (X509* leaf = X509_STORE_CTX_get0_cert(context)) pending.push_back(leaf);
  if (STACK_OF(X509)* untrusted = X509_STORE_CTX_get0_untrusted(context))
    for (int i = 0; i < sk_X509_num(untrusted); ++i) pending.push_back(sk_X509_value(untrusted, i));
  if (RootStore() != nullptr) {
    for (size_t i = 0; i < pending.size() && i < 64; ++i) {
      const size_t before = found.taken.size();
      TakeIssuersOf(&found, pending[i]);
      for (size_t j = before; j < found.taken.size(); ++j) pending.push_back(found.taken[j]);
    }
  }
  ERR_clear_error();
  const int verified = X509_verify_cert(context);
  for (X509* anchor : found.taken) X509_free(anchor);
  return verified;
}

}  // namespace

void PrepareTrustAnchorsInBackground() {
  // A session that needs the store meanwhile waits for this one opening.
  // On the thread pool, which the name lookups use too: its first thread
  // is then started already.
  QueueUserWorkItem(OpenRootStoreThreadProc, nullptr, WT_EXECUTEDEFAULT);
}

int CreateTlsContext(MailSession* session) {
  session->errorKind = TlsError;
  if (RootStore() == nullptr) {
    session->lastSocketError = static_cast<int32_t>(rootStoreError);
    session->errorKind = OsError;
    return 0;
  }
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (context == nullptr) return 0;
  session->sslContext = context;
  // The handshake itself fails when the chain does not verify.
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_cert_verify_callback(context, VerifyWithRootStore, nullptr);
  SSL_CTX_set_options(context, SSL_OP_ALL);
  return 1;
}

bool CertificateMatchesHost(X509* cert, const char* host) {
  in_addr v4;
  in6_addr v6;
  if (inet_pton(AF_INET, host, &v4) == 1 || inet_pton(AF_INET6, host, &v6) == 1)
    return X509_check_ip_asc(cert, host, 0) == 1;
  return X509_check_host(cert, host, strlen(host), X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS, nullptr) == 1;
}

int MatchCertificateHostName(MailSession* session) {
  if (session->peerCert == nullptr || session->request == nullptr) return 0;
  return CertificateMatchesHost(session->peerCert, session->request->server) ? 1 : 0;
}

int VerifyServerCertificate(MailSession* session) {
  session->errorKind = TlsError;
  if (SSL_get_verify_result(session->ssl) != X509_V_OK) return 0;
  session->peerCert = SSL_get1_peer_certificate(session->ssl);
  if (session->peerCert == nullptr) {
    session->errorKind = NoCertificate;
    return 0;
  }
  if (!MatchCertificateHostName(session)) {
    session->errorKind = HostMismatch;
    return 0;
  }
  return 1;
}

void CloseMailConnection(MailSession* session) {
  bool usedTls = session->ssl != nullptr || session->sslContext != nullptr;
  if (session->peerCert != nullptr) {
    X509_free(session->peerCert);
    session->peerCert = nullptr;
  }
  if (session->ssl != nullptr) {
    // After a fatal TLS error no close_notify may be sent.
    if (!session->tlsFailed && SSL_get_session(session->ssl) != nullptr) SSL_shutdown(session->ssl);
    SSL_free(session->ssl);
    session->ssl = nullptr;
  }
  if (session->sslContext != nullptr) {
    SSL_CTX_free(session->sslContext);
    session->sslContext = nullptr;
  }
  if (session->connectEvent != nullptr) {
    WSACloseEvent(session->connectEvent);
    session->connectEvent = nullptr;
  }
  if (session->sock != 0 && session->sock != INVALID_SOCKET) {
    shutdown(session->sock, SD_BOTH);
    closesocket(session->sock);
    session->sock = INVALID_SOCKET;
  }
  if (session->addr != nullptr) {
    freeaddrinfo(session->addr);
    session->addr = nullptr;
  }
  if (session->wsaStarted) {
    WSACleanup();
    session->wsaStarted = 0;
  }
  // The library lives for the process; only this thread's state goes.
  if (usedTls) OPENSSL_thread_stop();
}
