#include "service/WinHttpCertificates.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include <winhttp.h>

namespace tern {

namespace {

constexpr std::string_view kBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view kEnd = "-----END CERTIFICATE-----";

std::string fileText(const std::string& path)
{
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The DER bytes of one PEM block (its BEGIN and END lines included); empty when it is not base64.
std::vector<BYTE> derOf(std::string_view block)
{
    DWORD size = 0;
    if (!CryptStringToBinaryA(block.data(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER,
                              nullptr, &size, nullptr, nullptr))
        return {};
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(block.data(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER,
                              der.data(), &size, nullptr, nullptr))
        return {};
    der.resize(size);
    return der;
}

bool inStore(HCERTSTORE store, PCCERT_CONTEXT certificate)
{
    PCCERT_CONTEXT found =
        CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, certificate, nullptr);
    if (found == nullptr)
        return false;
    CertFreeCertificateContext(found);
    return true;
}

// The host name, validity and key usage of the chain for a TLS server; an authority the system does
// not know is the caller's to judge.
bool validForServer(PCCERT_CHAIN_CONTEXT chain, const std::wstring& host)
{
    HTTPSPolicyCallbackData https{};
    https.cbStruct = sizeof https;
    https.dwAuthType = AUTHTYPE_SERVER;
    https.fdwChecks = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    https.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &https;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) &&
           status.dwError == 0;
}

} // namespace

CertificateAuthorities::CertificateAuthorities(const std::string& pemFile)
    : m_store(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr))
{
    if (m_store == nullptr)
        return;
    const std::string text = fileText(pemFile);
    for (std::size_t begin = text.find(kBegin); begin != std::string::npos;
         begin = text.find(kBegin, begin + 1)) {
        const std::size_t end = text.find(kEnd, begin);
        if (end == std::string::npos)
            break;
        const std::vector<BYTE> der = derOf(std::string_view(text).substr(begin, end + kEnd.size() - begin));
        if (!der.empty() && CertAddEncodedCertificateToStore(m_store, X509_ASN_ENCODING, der.data(),
                                                             static_cast<DWORD>(der.size()),
                                                             CERT_STORE_ADD_USE_EXISTING, nullptr))
            m_empty = false;
    }
}

CertificateAuthorities::~CertificateAuthorities()
{
    if (m_store != nullptr)
        CertCloseStore(m_store, 0);
}

bool CertificateAuthorities::trust(PCCERT_CONTEXT certificate, const std::wstring& host) const
{
    if (m_empty || certificate == nullptr)
        return false;
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof para;
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, m_store, &para, 0, nullptr, &chain))
        return false;
    // The file's authority stands in for a trusted root: a root the system does not trust, or a chain
    // that ends at the file's intermediate authority, is fine; any other fault is not.
    constexpr DWORD kTheFilesToJudge = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN;
    bool trusted = chain->cChain > 0 && (chain->TrustStatus.dwErrorStatus & ~kTheFilesToJudge) == 0;
    if (trusted) {
        const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
        bool anchored = false;
        for (DWORD i = 0; i < simple->cElement && !anchored; ++i)
            anchored = inStore(m_store, simple->rgpElement[i]->pCertContext);
        trusted = anchored && validForServer(chain, host);
    }
    CertFreeCertificateChain(chain);
    return trusted;
}

} // namespace tern
