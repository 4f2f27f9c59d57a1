#include "smtp_session.h"

#include <wincrypt.h>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <string.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The ROOT store as read at one time, shared by the sessions that use it;
// the last one to let go closes it.
struct TrustStoresHeld {
  volatile LONG references;
  HCERTSTORE root;
};

void ReleaseTrustStores(TrustStoresHeld* stores) {
  if (stores == nullptr || InterlockedDecrement(&stores->references) != 0) return;
  CertCloseStore(stores->root, 0);
  delete stores;
}

// One opening of the stores on a thread of the process's pool: opening them
// takes long under Wine, and a session waits for it together with its
// cancel. Shared by the opener and its waiters; the last one frees it.
struct TrustStoresOpening {
  volatile LONG references;
  HANDLE done;
  TrustStoresHeld* result;  // one reference of its own
  DWORD error;
};

void ReleaseOpening(TrustStoresOpening* opening) {
  if (InterlockedDecrement(&opening->references) != 0) return;
  ReleaseTrustStores(opening->result);
  CloseHandle(opening->done);
  delete opening;
}

// The stores as last read, and the opening under way; only swapped under the lock.
SRWLOCK trustLock = SRWLOCK_INIT;
TrustStoresHeld* currentStores;
TrustStoresOpening* pendingOpening;

HCERTSTORE WINAPI SystemStoreOpener(const wchar_t* name) {
  return CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER | CERT_STORE_READONLY_FLAG,
                       name);
}

TrustStoreOpener storeOpener = SystemStoreOpener;

HCERTSTORE OpenSystemStore(const wchar_t* name) { return storeOpener(name); }

DWORD WINAPI OpenTrustStoresWork(void* parameter) {
  TrustStoresOpening* opening = static_cast<TrustStoresOpening*>(parameter);
  HCERTSTORE root = OpenSystemStore(L"ROOT");
  const DWORD error = root != nullptr ? 0 : GetLastError();
  // The current one, and the opening's.
  TrustStoresHeld* stores = root != nullptr ? new TrustStoresHeld{2, root} : nullptr;
  TrustStoresHeld* replaced = nullptr;
  AcquireSRWLockExclusive(&trustLock);
  if (stores != nullptr) {
    replaced = currentStores;
    currentStores = stores;
  }
  if (pendingOpening == opening) pendingOpening = nullptr;
  ReleaseSRWLockExclusive(&trustLock);
  ReleaseTrustStores(replaced);
  opening->result = stores;
  opening->error = error;
  // The Disallowed store is read by each check, the first time slowly; and
  // the TLS library loads what its first context needs once for the process.
  if (HCERTSTORE disallowed = OpenSystemStore(L"Disallowed")) CertCloseStore(disallowed, 0);
  OPENSSL_init_ssl(0, nullptr);
  SSL_CTX_free(SSL_CTX_new(TLS_client_method()));
  OPENSSL_thread_stop();
  SetEvent(opening->done);
  ReleaseOpening(opening);
  return 0;
}

// The opening under way, or a new one; with a reference for the caller.
TrustStoresOpening* StartOpening(DWORD* error) {
  AcquireSRWLockExclusive(&trustLock);
  TrustStoresOpening* opening = pendingOpening;
  if (opening != nullptr) {
    InterlockedIncrement(&opening->references);
    ReleaseSRWLockExclusive(&trustLock);
    return opening;
  }
  opening = new TrustStoresOpening{2, CreateEventW(nullptr, TRUE, FALSE, nullptr), nullptr, 0};
  if (opening->done == nullptr || !QueueUserWorkItem(OpenTrustStoresWork, opening, WT_EXECUTEDEFAULT)) {
    ReleaseSRWLockExclusive(&trustLock);
    *error = GetLastError();
    if (opening->done != nullptr) CloseHandle(opening->done);
    delete opening;
    return nullptr;
  }
  pendingOpening = opening;
  ReleaseSRWLockExclusive(&trustLock);
  return opening;
}

enum class TrustWait { Ready, Failed, Cancelled, TimedOut };

// The stores as last read or, with afresh (or when none could be read yet),
// as they are now. Waits with the cancel event until the deadline; never
// holds a Cancel for longer than that wait.
TrustWait AcquireTrustStores(HANDLE cancelEvent, bool afresh, ULONGLONG deadline, TrustStoresHeld** out,
                             DWORD* error) {
  *out = nullptr;
  *error = 0;
  if (!afresh) {
    AcquireSRWLockShared(&trustLock);
    if (currentStores != nullptr) {
      InterlockedIncrement(&currentStores->references);
      *out = currentStores;
    }
    ReleaseSRWLockShared(&trustLock);
    if (*out != nullptr) return TrustWait::Ready;
  }
  TrustStoresOpening* opening = StartOpening(error);
  if (opening == nullptr) return TrustWait::Failed;
  HANDLE waits[2] = {opening->done, cancelEvent};
  const ULONGLONG now = GetTickCount64();
  const DWORD wait = WaitForMultipleObjects(cancelEvent != nullptr ? 2 : 1, waits, FALSE,
                                            now < deadline ? static_cast<DWORD>(deadline - now) : 0);
  TrustWait outcome = TrustWait::TimedOut;
  if (wait == WAIT_OBJECT_0) {
    if (opening->result != nullptr) {
      InterlockedIncrement(&opening->result->references);
      *out = opening->result;
      outcome = TrustWait::Ready;
    } else {
      *error = opening->error;
      outcome = TrustWait::Failed;
    }
  } else if (wait == WAIT_OBJECT_0 + 1) {
    outcome = TrustWait::Cancelled;
  }
  ReleaseOpening(opening);
  return outcome;
}

// The ROOT certificates found for one search, each decoded once.
struct FoundAnchors {
  X509_STORE* anchors;
  HCERTSTORE root;
  std::set<std::string> seen;  // DER of the certificates taken already
  std::vector<X509*> taken;    // to look for their issuers in turn
  ~FoundAnchors() {
    for (X509* anchor : taken) X509_free(anchor);
  }
};

void TakeMatches(FoundAnchors* found, DWORD findType, const void* findParameter) {
  PCCERT_CONTEXT match = nullptr;
  while ((match = CertFindCertificateInStore(found->root, X509_ASN_ENCODING, 0, findType, findParameter,
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

// Puts into the store only the ROOT anchors this chain can reach: every
// issuer OpenSSL could look up by name is then there.
void TakeAnchorsFor(FoundAnchors* found, X509_STORE_CTX* context) {
  std::vector<X509*> pending;
  if (X509* leaf = X509_STORE_CTX_get0_cert(context)) pending.push_back(leaf);
  if (STACK_OF(X509)* untrusted = X509_STORE_CTX_get0_untrusted(context))
    for (int i = 0; i < sk_X509_num(untrusted); ++i) pending.push_back(sk_X509_value(untrusted, i));
  for (size_t i = 0; i < pending.size() && i < 64; ++i) {
    const size_t before = found->taken.size();
    TakeIssuersOf(found, pending[i]);
    for (size_t j = before; j < found->taken.size(); ++j) pending.push_back(found->taken[j]);
  }
}

// Whether a certificate of the verified chain is in the Disallowed store,
// read as it is now (it is small; a prefix without one distrusts nothing).
bool ChainHasDistrusted(X509_STORE_CTX* context) {
  HCERTSTORE disallowed = OpenSystemStore(L"Disallowed");
  if (disallowed == nullptr) return false;
  bool distrusted = false;
  STACK_OF(X509)* chain = X509_STORE_CTX_get0_chain(context);
  for (int i = 0; !distrusted && chain != nullptr && i < sk_X509_num(chain); ++i) {
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!X509_digest(sk_X509_value(chain, i), EVP_sha1(), hash, &length)) {
      distrusted = true;
      break;
    }
    CRYPT_HASH_BLOB blob = {length, hash};
    PCCERT_CONTEXT found =
        CertFindCertificateInStore(disallowed, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &blob, nullptr);
    if (found != nullptr) {
      CertFreeCertificateContext(found);
      distrusted = true;
    }
  }
  CertCloseStore(disallowed, 0);
  return distrusted;
}

// Verifies the chain of `context` against `stores` in a context of its own
// (a context verifies once only); its result is left in `context`.
int VerifyAgainstFreshStores(X509_STORE_CTX* context, TrustStoresHeld* stores) {
  X509_STORE* anchors = X509_STORE_new();
  X509_STORE_CTX* again = X509_STORE_CTX_new();
  int verified = 0;
  int error = X509_V_ERR_OUT_OF_MEM;
  if (anchors != nullptr && again != nullptr &&
      X509_STORE_CTX_init(again, anchors, X509_STORE_CTX_get0_cert(context),
                          X509_STORE_CTX_get0_untrusted(context)) == 1) {
    X509_VERIFY_PARAM_set1(X509_STORE_CTX_get0_param(again), X509_STORE_CTX_get0_param(context));
    FoundAnchors found{anchors, stores->root, {}, {}};
    TakeAnchorsFor(&found, again);
    ERR_clear_error();
    verified = X509_verify_cert(again) > 0;
    error = X509_STORE_CTX_get_error(again);
    if (verified && ChainHasDistrusted(again)) {
      verified = 0;
      error = X509_V_ERR_CERT_REJECTED;
    }
  }
  X509_STORE_CTX_free(again);
  X509_STORE_free(anchors);
  X509_STORE_CTX_set_error(context, verified ? X509_V_OK : error);
  return verified;
}

// The chain against the stores as the session read them; when it does not
// verify there, once more against the stores as they are now, in case the
// trust changed since they were read. A distrusted certificate never passes.
int VerifyWithTrustStores(X509_STORE_CTX* context, void* parameter) {
  MailSession* session = static_cast<MailSession*>(parameter);
  TrustStoresHeld* stores = static_cast<TrustStoresHeld*>(session->trustStores);
  int verified;
  {
    FoundAnchors found{X509_STORE_CTX_get0_store(context), stores->root, {}, {}};
    TakeAnchorsFor(&found, context);
    ERR_clear_error();
    verified = X509_verify_cert(context) > 0;
  }
  if (verified) {
    if (!ChainHasDistrusted(context)) return 1;
    X509_STORE_CTX_set_error(context, X509_V_ERR_CERT_REJECTED);
    return 0;
  }
  TrustStoresHeld* fresh = nullptr;
  DWORD error = 0;
  // A cancel meanwhile fails the handshake; the session then sees its cancel.
  if (AcquireTrustStores(session->cancelEvent, true, GetTickCount64() + kMailStepTimeoutMs, &fresh, &error) !=
      TrustWait::Ready)
    return 0;
  ReleaseTrustStores(stores);
  session->trustStores = fresh;
  ERR_clear_error();
  return VerifyAgainstFreshStores(context, fresh);
}

}  // namespace

void SetTrustStoreOpener(TrustStoreOpener opener) { storeOpener = opener != nullptr ? opener : SystemStoreOpener; }

void PrepareTrustAnchorsInBackground() {
  // The first session finds the stores read; on the process's pool, which
  // the name lookups use too: its first thread is then started already.
  DWORD error = 0;
  if (TrustStoresOpening* opening = StartOpening(&error)) ReleaseOpening(opening);
}

int CreateTlsContext(MailSession* session) {
  session->errorKind = TlsError;
  if (session->trustStores == nullptr) {
    TrustStoresHeld* stores = nullptr;
    DWORD error = 0;
    switch (AcquireTrustStores(session->cancelEvent, false, GetTickCount64() + kMailStepTimeoutMs, &stores,
                               &error)) {
      case TrustWait::Ready:
        session->trustStores = stores;
        break;
      case TrustWait::Cancelled:
        throw MailAbort{true};
      case TrustWait::TimedOut:
        session->errorKind = TimedOut;
        return 0;
      case TrustWait::Failed:
        session->lastSocketError = static_cast<int32_t>(error);
        session->errorKind = OsError;
        return 0;
    }
  }
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (context == nullptr) return 0;
  session->sslContext = context;
  // The handshake itself fails when the chain does not verify.
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_cert_verify_callback(context, VerifyWithTrustStores, session);
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
  if (session->trustStores != nullptr) {
    ReleaseTrustStores(static_cast<TrustStoresHeld*>(session->trustStores));
    session->trustStores = nullptr;
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
