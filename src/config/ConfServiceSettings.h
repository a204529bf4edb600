#pragma once

#include "config/ConfStore.h"
#include "service/ServiceSettings.h"

namespace tern {

// The service client's settings, kept in the settings store; `store` must outlive this.
class ConfServiceSettings : public ServiceSettings
{
public:
    explicit ConfServiceSettings(TConfStore& store) : m_store(store) {}

    std::string serviceHost() const override { return m_store.ServiceHost; }
    std::string downloadHost() const override { return m_store.DownloadHost; }
    std::string login() const override { return m_store.Login; }
    std::string password() const override { return m_store.Password; }
    void setAccount(const std::string& login, const std::string& password) override
    {
        m_store.Apply({.Login = login, .Password = password});
    }
    bool checkUpdates() const override { return m_store.CheckUpdates; }
    DateTime checkDate() const override { return m_store.CheckDate; }
    void setCheckDate(DateTime date) override { m_store.Apply({.CheckDate = date}); }
    std::string languageFile() const override { return m_store.currentLanguage(); }

private:
    TConfStore& m_store;
};

} // namespace tern
