#pragma once

#include "util/DateTime.h"

#include <string>

namespace tern {

// The stored settings that the service client reads, and the ones it changes: the account after a
// sign-in and the day of the last update check. Kept by the owner of the settings, which saves them.
// GUI thread only.
class ServiceSettings
{
public:
    virtual ~ServiceSettings() = default;

    // Where the web service and its download pages are reached.
    virtual std::string serviceHost() const = 0;
    virtual std::string downloadHost() const = 0;
    // The account: its e-mail address and password value; empty when none is stored.
    virtual std::string login() const = 0;
    virtual std::string password() const = 0;
    virtual void setAccount(const std::string& login, const std::string& password) = 0;
    // Whether the program looks for a newer version by itself, and the day it last looked.
    virtual bool checkUpdates() const = 0;
    virtual DateTime checkDate() const = 0;
    virtual void setCheckDate(DateTime date) = 0;
    // The file name of the current language (the download page is shown in it); empty when none.
    virtual std::string languageFile() const = 0;
};

} // namespace tern
