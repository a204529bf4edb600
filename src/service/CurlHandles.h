#pragma once

#include <mutex>
#include <string>
#include <vector>

#include <curl/curl.h>

namespace tern {

// The libcurl share object of the process, made on first use and kept for the program's life: TLS
// sessions and resolved host names of every transfer, so that the next connection to a peer resumes
// its TLS session instead of a full handshake. Safe for transfers on any number of threads.
CURLSH* ProcessCurlShare();

// libcurl's own CA bundle file (the system's store of trusted authorities as one file) when that
// file exists; empty otherwise. Looked up once.
const std::string& SystemCaBundle();

// Multi handles kept for reuse by one transport. A multi handle keeps the certificate store it loaded
// (from the CA file or the system's) for the next transfer it runs, so a kept handle reads the file
// once. A handle serves one transfer at a time; take() makes a new one when all are in use.
class CurlMultiPool
{
public:
    CurlMultiPool() = default;
    ~CurlMultiPool();
    CurlMultiPool(const CurlMultiPool&) = delete;
    CurlMultiPool& operator=(const CurlMultiPool&) = delete;

    // An idle handle, or a new one; nullptr when libcurl cannot make one.
    CURLM* take();
    // Gives back a handle from take() that holds no transfer.
    void give(CURLM* multi);

private:
    std::mutex m_mutex;
    std::vector<CURLM*> m_idle;
};

} // namespace tern
