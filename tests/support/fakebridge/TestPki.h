#pragma once

// The test PKI made at build time by make-test-pki.sh: a test CA (the only root the tests
// trust), an untrusted CA, bridge leaves (ECDSA P-256, no subject alternative name) and root
// files in the shapes a hand-edited bundle takes.

#include "platform/https/TrustAnchors.h"

#include <QSslCertificate>
#include <QSslKey>
#include <QString>

namespace vantora::testing {

enum class TestLeaf {
    bridge123456,            // CN 001788fffe123456, from the test CA
    bridge123456Uppercase,   // CN 001788FFFE123456, from the test CA
    bridge654321,            // CN 001788fffe654321, from the test CA
    hostName,                // CN bridge.local, from the test CA
    fifteenCharacterId,      // CN 001788fffe12345, from the test CA
    untrustedBridge123456,   // CN 001788fffe123456, from the untrusted CA
    // With the loopback addresses as subject alternative names, so the handshake raises
    // no error at all:
    ipSanHostName,           // CN bridge.local
    ipSanBridge654321,       // CN 001788fffe654321
    untrustedIpSanHostName,  // CN bridge.local, from the untrusted CA
    // Leaves no bridge may be trusted with, each naming 001788fffe123456:
    selfSigned123456,        // its own issuer
    expired123456,           // from the test CA, valid only in 2000
    notYetValid123456,       // from the test CA, valid only from 2100
    twoCommonNames,          // CN 001788fffe123456 and CN 001788fffe654321, from the test CA
    issuedByLeaf123456,      // issued by the bridge654321 leaf, which is no CA
};

enum class PemSample {
    noiseAroundTwoBlocks,  // text around and between two blocks, blank lines, odd line breaks
    brokenBlockOnly,       // one block whose base64 is cut short
    brokenAndGoodBlocks,   // the cut-short block, then a good one
    textOnly,              // no block at all
    invalidUtf8,           // a good block after a line that is not UTF-8
};

class TestPki final {
public:
    static QString directory();
    static QString path(PemSample sample);
    static QSslCertificate certificate(TestLeaf leaf);
    static QSslKey privateKey(TestLeaf leaf);
    // The test CA alone, read through the application's own loader.
    static platform::TrustAnchors roots();
};

} // namespace vantora::testing
