// The algorithms a worker's TLS client is offered.
//
// OpenSSL 3 builds a method object for every algorithm of a kind that its
// provider has the first time any one of that kind is asked for: libssl's
// context asks for a handful of ciphers and gets all 124 built, a
// certificate's public key builds all 40 decoders. A long-lived program pays
// that once; a worker pays it on every https page, and it was a quarter of the
// page's CPU. So pitrel puts OpenSSL's default provider behind one of its own
// that offers only what a TLS 1.2/1.3 client needs (AES-GCM, AES-CCM,
// ChaCha20-Poly1305 and AES-CBC; SHA-1, SHA-2, SHA-3 and MD5; RSA, RSA-PSS,
// EC, X25519/X448, Ed25519/Ed448 and DH keys; HMAC, HKDF and the TLS PRFs;
// the random generators; public-key decoders) and builds only those. What a
// site may choose is tried against the real worker in
// tests/worker/page/tls_client_algorithms_test.cpp.
//
// The implementations are OpenSSL's own; only the list is shorter. A static
// libcrypto lets the default provider be wrapped this way; with a shared one
// (the sanitized build) it cannot be, and OpenSSL's default provider serves
// as it is.
#pragma once

struct ossl_algorithm_st;

namespace pitrel {

// Whether the worker's provider offers this algorithm of this operation
// (one of OpenSSL's OSSL_OP_* numbers).
bool OfferedToTlsClient(int operation, const ossl_algorithm_st& algorithm);

// Starts OpenSSL for a worker's TLS client, once, before its first TLS
// context is made: without what such a client does without (below), and
// with the worker's provider where it can be loaded (else the default
// provider serves everything). False when OpenSSL could not start.
bool StartOpenSslForTlsClient();

}  // namespace pitrel
