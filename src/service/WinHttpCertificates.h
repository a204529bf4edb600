#pragma once

#include <string>

#include <windows.h>

#include <wincrypt.h>

namespace tern {

// The certificate authorities an https peer of the Windows transport must chain to when the settings
// name an authority file (PEM, one or more certificates), instead of the system's store.
class CertificateAuthorities
{
public:
    // Reads the file (a UTF-8 path); an unreadable file, or one without a certificate, trusts nothing.
    explicit CertificateAuthorities(const std::string& pemFile);
    ~CertificateAuthorities();
    CertificateAuthorities(const CertificateAuthorities&) = delete;
    CertificateAuthorities& operator=(const CertificateAuthorities&) = delete;

    // True when `certificate` is valid now for server authentication under the name `host`, and it
    // or a certificate it chains to is one of the file's.
    bool trust(PCCERT_CONTEXT certificate, const std::wstring& host) const;

private:
    HCERTSTORE m_store = nullptr;
    bool m_empty = true;
};

} // namespace tern
