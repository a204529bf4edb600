#include "service/CurlHandles.h"

#include <array>
#include <filesystem>
#include <new>
#include <system_error>

namespace tern {

namespace {

class ProcessShare
{
public:
    ProcessShare() : m_share(curl_share_init())
    {
        if (!m_share)
            return;
        curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &ProcessShare::lock);
        curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &ProcessShare::unlock);
        curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }

    CURLSH* share() const noexcept { return m_share; }

private:
    static std::mutex& mutexOf(void* self, curl_lock_data data)
    {
        auto& locks = static_cast<ProcessShare*>(self)->m_locks;
        const auto index = static_cast<std::size_t>(data);
        return locks[index < locks.size() ? index : 0];
    }
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) { mutexOf(self, data).lock(); }
    static void unlock(CURL*, curl_lock_data data, void* self) { mutexOf(self, data).unlock(); }

    std::array<std::mutex, CURL_LOCK_DATA_LAST> m_locks;
    CURLSH* m_share;
};

} // namespace

CURLSH* ProcessCurlShare()
{
    // Never destroyed: transfers on other threads may still use it while the process ends.
    static ProcessShare* const share = new ProcessShare;
    return share->share();
}

const std::string& SystemCaBundle()
{
    static const std::string bundle = [] {
        std::string path;
        CURL* curl = curl_easy_init();
        char* value = nullptr;
        std::error_code error;
        if (curl && curl_easy_getinfo(curl, CURLINFO_CAINFO, &value) == CURLE_OK && value &&
            std::filesystem::is_regular_file(value, error))
            path = value;
        curl_easy_cleanup(curl);
        return path;
    }();
    return bundle;
}

CurlMultiPool::~CurlMultiPool()
{
    for (CURLM* multi : m_idle)
        curl_multi_cleanup(multi);
}

CURLM* CurlMultiPool::take()
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            CURLM* multi = m_idle.back();
            m_idle.pop_back();
            return multi;
        }
    }
    return curl_multi_init();
}

void CurlMultiPool::give(CURLM* multi)
{
    if (!multi)
        return;
    const std::lock_guard lock(m_mutex);
    try {
        m_idle.push_back(multi);
    } catch (const std::bad_alloc&) {
        curl_multi_cleanup(multi);
    }
}

} // namespace tern
