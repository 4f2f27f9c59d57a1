#include "smtp_session.h"

#include <wincrypt.h>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <string.h>

int CreateTlsContext(MailSession* session) {
  session->errorKind = TlsError;
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (context == nullptr) return 0;
  session->sslContext = context;
  // The handshake itself fails when the chain does not verify.
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_options(context, SSL_OP_ALL);
  HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (store == nullptr) {
    session->lastSocketError = static_cast<int32_t>(GetLastError());
    session->errorKind = OsError;
    return 0;
  }
  X509_STORE* anchors = SSL_CTX_get_cert_store(context);
  for (PCCERT_CONTEXT cert = CertEnumCertificatesInStore(store, nullptr); cert != nullptr;
       cert = CertEnumCertificatesInStore(store, cert)) {
    const unsigned char* der = cert->pbCertEncoded;
    X509* x509 = d2i_X509(nullptr, &der, static_cast<long>(cert->cbCertEncoded));
    if (x509 == nullptr) continue;  // a certificate OpenSSL cannot read is no anchor
    X509_STORE_add_cert(anchors, x509);
    X509_free(x509);
  }
  CertCloseStore(store, 0);
  ERR_clear_error();  // duplicates and unreadable entries leave no error behind
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
